#include "ui/steplistdelegate.h"

#include "store/stepline.h"

#include <QApplication>
#include <QListView>
#include <QPainter>

namespace klavoro {

StepListDelegate::Layout StepListDelegate::layout(const QFontMetrics& fm, int mode) {
    const int digit = fm.horizontalAdvance(QLatin1Char('0'));
    const int gap = digit;
    const bool showName = mode >= 2;
    const bool showCreation = mode >= 1;
    Layout l{};
    l.width[Number] = digit * 5;
    l.width[ImageName] = showName ? digit * 16 : 0;
    l.width[Creation] = showCreation ? digit * 5 : 0;
    // Sentences are padded to 100 half-width characters; 60 show in full.
    l.width[Sentence] = digit * 60;
    l.width[Extension] = showCreation ? fm.horizontalAdvance(QStringLiteral("jpeg")) : 0;
    l.width[Check] = fm.horizontalAdvance(QStringLiteral("〆"));
    int x = 4;
    for (int c = 0; c < ColumnCount; ++c) {
        l.left[c] = x;
        if (l.width[c] > 0) x += l.width[c] + gap;
    }
    l.total = x;
    return l;
}

void StepListDelegate::setLeadingColumns(QListView* view, int mode) {
    auto* d = qobject_cast<StepListDelegate*>(view->itemDelegate());
    if (!d) return;
    d->setMode(std::clamp(mode, 0, 2));
    view->doItemsLayout();
    view->viewport()->update();
}

void StepListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QString line = index.data(Qt::UserRole + 1).toString();
    const Layout l = layout(opt.fontMetrics, m_mode);
    const bool plain = !line.contains(QLatin1Char('\t'));
    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    auto draw = [&](int column, QString text, Qt::Alignment align) {
        if (l.width[column] <= 0) return;
        text.replace(QChar(4), QChar(0x21B5)); // stored line breaks show as a mark
        const QRect r(opt.rect.left() + l.left[column], opt.rect.top(), l.width[column],
                      opt.rect.height());
        painter->drawText(r, int(align | Qt::AlignVCenter),
                          opt.fontMetrics.elidedText(text, Qt::ElideRight, r.width()));
    };
    if (plain) {
        // Not a step line: show it as it is.
        painter->drawText(opt.rect.adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, line);
    } else {
        draw(Number, QString::number(index.row() + 1), Qt::AlignRight);
        draw(ImageName, lineField(line, FieldImageName), Qt::AlignLeft);
        draw(Creation, lineField(line, FieldCreation), Qt::AlignRight);
        draw(Sentence, lineField(line, FieldMessage), Qt::AlignLeft);
        draw(Extension, lineField(line, FieldExtension), Qt::AlignLeft);
        draw(Check, lineField(line, FieldCheck), Qt::AlignLeft);
    }
    painter->restore();
}

QSize StepListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {layout(option.fontMetrics, m_mode).total, option.fontMetrics.height() + 4};
}

} // namespace klavoro

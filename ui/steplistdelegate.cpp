#include "ui/steplistdelegate.h"

#include <QApplication>
#include <QPainter>

namespace klavoro {

void StepListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    QTextOption to(Qt::AlignLeft | Qt::AlignVCenter);
    to.setWrapMode(QTextOption::NoWrap);
    to.setTabStopDistance(opt.fontMetrics.horizontalAdvance(QLatin1Char('0')) * 6);
    painter->setFont(opt.font);
    // Control characters of stored line breaks show as a visible mark.
    QString shown = text;
    shown.replace(QChar(4), QChar(0x21B5));
    painter->drawText(QRectF(opt.rect.adjusted(4, 0, -2, 0)), shown, to);
    painter->restore();
}

QSize StepListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    s.setHeight(option.fontMetrics.height() + 4);
    return s;
}

} // namespace klavoro

#include "ui/thumbnaildelegate.h"

#include "export/thumbnailloader.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QApplication>
#include <QPainter>

namespace klavoro {

ThumbnailDelegate::ThumbnailDelegate(ThumbnailLoader& loader, const StepList& steps,
                                     QObject* parent)
    : QStyledItemDelegate(parent), m_loader(loader), m_steps(steps) {}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return m_layout.panel;
}

void ThumbnailDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const QPalette& pal = option.palette;
    const QPoint origin = option.rect.topLeft();
    const int step = index.row() + 1;
    const QString line = index.data(StepList::LineRole).toString();

    p->save();
    p->fillRect(option.rect, pal.color(QPalette::Window));
    if (step == m_steps.selectedStep()) {
        p->setPen(QPen(pal.color(QPalette::Highlight), 2));
        p->drawRect(option.rect.adjusted(1, 1, -1, -1));
    }

    const QRect area = m_layout.image.translated(origin);
    const QString name = lineField(line, FieldImageName);
    using State = ThumbnailLoader::State;
    State state = m_loader.state(name);
    if (state == State::Unknown) {
        // Only panels that are drawn ask for their thumbnail.
        m_loader.request(name);
        state = m_loader.state(name);
    }
    if (state == State::Ready) {
        const QImage image = m_loader.image(name);
        const QSize size = image.size().scaled(area.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), size);
        target.moveCenter(area.center());
        p->drawImage(target, image);
    } else {
        p->fillRect(area, pal.color(QPalette::Midlight));
        if (state == State::Broken) {
            p->setPen(QPen(pal.color(QPalette::Dark), 1));
            p->drawLine(area.topLeft(), area.bottomRight());
            p->drawLine(area.topRight(), area.bottomLeft());
        }
    }
    p->setPen(pal.color(QPalette::Mid));
    p->drawRect(area.adjusted(0, 0, -1, -1));

    const QRect box = m_layout.checkBox.translated(origin);
    const bool checked = !lineField(line, FieldCheck).isEmpty();
    p->fillRect(box, checked ? m_checkColour : pal.color(QPalette::Button));
    p->setPen(pal.color(QPalette::Dark));
    p->drawRect(box.adjusted(0, 0, -1, -1));
    QFont font = option.font;
    font.setPixelSize(std::max(6, box.height() - 6));
    p->setFont(font);
    p->setPen(pal.color(QPalette::ButtonText));
    if (checked) p->drawText(box, Qt::AlignCenter, kCheckMark);
    p->setPen(pal.color(QPalette::WindowText));
    p->drawText(m_layout.label.translated(origin), Qt::AlignLeft | Qt::AlignVCenter,
                QString::number(step));
    p->restore();
}

} // namespace klavoro

#pragma once

#include "export/striplayout.h"

#include <QColor>
#include <QStyledItemDelegate>

namespace klavoro {

class StepList;
class ThumbnailLoader;

// Draws one panel of the thumbnail strip: the thumbnail (asked for when first
// drawn, a plain tile until it is there, a crossed tile when it cannot be
// made), the check-mark box and the step number.
class ThumbnailDelegate : public QStyledItemDelegate {
public:
    ThumbnailDelegate(ThumbnailLoader& loader, const StepList& steps, QObject* parent = nullptr);

    void setLayout(const StripPanelLayout& layout) { m_layout = layout; }
    const StripPanelLayout& panelLayout() const { return m_layout; }
    void setCheckColour(const QColor& colour) { m_checkColour = colour; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ThumbnailLoader& m_loader;
    const StepList& m_steps;
    StripPanelLayout m_layout;
    QColor m_checkColour;
};

} // namespace klavoro

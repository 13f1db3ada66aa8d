#pragma once

#include <QStyledItemDelegate>

namespace klavoro {

// Draws a step line with its TAB-separated fields in aligned columns.
class StepListDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace klavoro

#pragma once

#include <QStyledItemDelegate>

class QListView;

namespace klavoro {

// Draws a step line as aligned columns: number (the position), image name,
// creation number, sentence, extension, check mark. Which of the leading
// columns show follows the list form of `scrollbar`: 0 plain (number and
// sentence), 1 with the creation number, 2 with the file name too.
class StepListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    enum Column { Number, ImageName, Creation, Sentence, Extension, Check, ColumnCount };
    // Left edge and width of each column for a font, in the list form `mode`;
    // a hidden column has width 0.
    struct Layout {
        int left[ColumnCount];
        int width[ColumnCount];
        int total;
    };
    static Layout layout(const QFontMetrics& metrics, int mode);

    int mode() const { return m_mode; }
    void setMode(int mode) { m_mode = mode; }
    // Sets the list form of the view's delegate and redraws.
    static void setLeadingColumns(QListView* view, int mode);

private:
    int m_mode = 1;
};

} // namespace klavoro

#pragma once

class QButtonGroup;
class QLabel;
class QRadioButton;
class QSplitter;
class QWidget;

namespace klavoro {

// The parts of the main window's layout that only the window itself touches.
struct frmKlavoroUi {
    QSplitter* vsplit = nullptr;       // middle area above, thumbnail panel below
    QSplitter* hsplit = nullptr;       // list pane left, image pane right
    QWidget* listPane = nullptr;       // lstRecord
    QWidget* imagePane = nullptr;      // Pic and frImgSize
    QWidget* imageHolder = nullptr;    // where the viewer sits
    QButtonGroup* dispGroup = nullptr; // the display modes, id = `disp` index
    QRadioButton* optDisp[3] = {nullptr, nullptr, nullptr};
    QWidget* detailPanel = nullptr;
};

} // namespace klavoro

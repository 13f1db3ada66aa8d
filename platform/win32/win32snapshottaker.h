#pragma once

#include "platform/inputhook.h"
#include "record/presssnapshot.h"

#include <memory>

namespace klavoro::win32 {

class Win32Cursor;
class Win32Desktop;
class Win32ScreenCopy;

// Takes the picture, the pointer and the windows of a press on the input
// hook's thread; the element is read by Win32ElementReader beside it.
class Win32SnapshotTaker {
public:
    Win32SnapshotTaker();
    ~Win32SnapshotTaker();
    Win32SnapshotTaker(const Win32SnapshotTaker&) = delete;
    Win32SnapshotTaker& operator=(const Win32SnapshotTaker&) = delete;

    // Whether `point` lies on a window of this process (nothing is taken there).
    bool isOwnWindowAt(QPoint point);
    // The screen (`area` of it), pointer and windows at `point`. On one of
    // our own windows nothing is taken: the snapshot only says so.
    std::shared_ptr<PressSnapshot> take(QPoint point, PressSnapshot::Hold hold,
                                        const PressArea& area);

private:
    void addWindows(PressSnapshot& s, WindowId top, bool full);

    std::unique_ptr<Win32Desktop> m_desktop;
    std::unique_ptr<Win32ScreenCopy> m_screen;
    std::unique_ptr<Win32Cursor> m_cursor;
};

// The part of the screen a press's picture needs (exposed for tests).
QRect pressAreaAt(QPoint point, QSize screen, const QList<QRect>& monitors, const PressArea& area);

} // namespace klavoro::win32

#pragma once

#include "store/windowplacement.h"

#include <QList>

// The main window as the settings file sees it: a screen size and a normal
// position that placing changes.
class FakeMainWindow : public klavoro::MainWindowPlacement {
public:
    explicit FakeMainWindow(QSize screen = QSize(1920, 1080)) : m_screen(screen) {}

    QSize screenSize() const override { return m_screen; }
    klavoro::WindowRect normalRect() const override { return rect; }
    void placeMainWindow(const klavoro::WindowRect& r, qint32 splitter) override {
        rect = r;
        splitterLeft = splitter;
        ++placements;
    }

    klavoro::WindowRect rect{100, 100, 600, 500};
    qint32 splitterLeft = -1;
    int placements = 0;

private:
    QSize m_screen;
};

#pragma once

#include "capture/monitorlayout.h"

#include <QList>
#include <QRect>

class QWidget;

namespace klavoro {

// The monitors as the toolkit lays out our own windows: its screens are the
// RandR 1.5 monitors, in its units (which differ from screen pixels when the
// windows are scaled), the primary one first.
QList<ScaledMonitor> scaledMonitors();
QList<QRect> monitorRects();

// The monitor of a window (the one holding most of it); the primary monitor
// when there is no window.
QRect monitorOf(const QWidget* window);
// The monitor under the pointer.
QRect monitorAtPointer();
// The monitor for notices: under the pointer while recording, else that of
// the main window.
QRect noticeMonitor(const QWidget* mainWindow);

// A rectangle in screen pixels (captures, the area selector) in window units.
QRect pixelsToWindowUnits(const QRect& pixels);

} // namespace klavoro

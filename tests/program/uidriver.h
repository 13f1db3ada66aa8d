#pragma once

#include "platform/syntheticinput.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace klavoro::test {

// One element of the program as its accessibility tree shows it.
struct UiElement {
    QString name;
    QString role;   // AT-SPI role name: "push button", "menu item", "list item", ...
    QRect rect;     // screen pixels
    QString window; // title of its top-level window
    bool enabled = false;
    bool checked = false;
    bool selected = false;
    bool focused = false;
    explicit operator bool() const { return !rect.isEmpty(); }
    QPoint centre() const { return rect.center(); }
};

// A pop-up menu as the program builds it: the captions of its entries in
// order (a sub-menu by its caption) and the entries of each sub-menu.
struct PopupMenu {
    QStringList entries;
    QHash<QString, QStringList> submenus;
};

// Finds where to click through the program's own accessibility tree and
// clicks and types there with XTest, as a user would. Nothing is called in
// the program: it only answers what it shows.
class UiDriver {
public:
    explicit UiDriver(qint64 pid);
    ~UiDriver();
    UiDriver(const UiDriver&) = delete;
    UiDriver& operator=(const UiDriver&) = delete;

    using Match = std::function<bool(const UiElement&)>;
    // Every showing element of the program, windows whose title contains
    // `window` only (empty: all windows). The items of lists are left out
    // unless asked for: every element costs a few calls into the program.
    QList<UiElement> elements(const QString& window = QString(), bool items = false);
    // The first showing element that matches; waits up to `ms`.
    UiElement find(const Match& match, int ms = 5000, const QString& window = QString(),
                   bool items = false);
    UiElement find(const QString& role, const QString& name, int ms = 5000,
                   const QString& window = QString());

    // Mouse and keyboard through XTest.
    void moveTo(QPoint p);
    void click(QPoint p, MouseButton button = MouseButton::Left);
    void doubleClick(QPoint p);
    // Holds the left button from `from` to `to`, moving in a few steps.
    void drag(QPoint from, QPoint to);
    // Clicks the element found (fails the test when there is none).
    bool click(const QString& role, const QString& name, const QString& window = QString(),
               MouseButton button = MouseButton::Left);
    // "Ctrl+Up", "Return", "Escape", "F5", "Delete", "Ctrl+Shift+F2", "a".
    void key(const QString& sequence);
    // A key pressed or released on its own ("Shift_L"), held in between.
    void hold(const QString& keysym, bool down);
    // Any text: characters the keyboard lacks are put on a spare key.
    void type(const QString& text);

    // Opens the menu of the menu bar titled `menu` (of a window whose title
    // holds `window`) and chooses `entry`.
    bool menu(const QString& menu, const QString& entry, const QString& window = QString());
    // Chooses `entry` (of `submenu` when given) in the pop-up menu `menu`
    // after a right click at `at`. Qt leaves pop-up menus out of the
    // accessibility tree, so the entry is reached with the keyboard, as a
    // user without a mouse does; every entry is taken to be enabled.
    bool popup(QPoint at, const PopupMenu& menu, const QString& entry,
               const QString& submenu = QString());
    // Whether a pop-up menu of the program is open on the screen.
    bool popupOpen();

    // Clicks `p` once the window titled `window` is shown there (after 2 s
    // regardless): a window being minimised or a box being closed may still
    // cover it.
    void clickOn(const QString& window, QPoint p);
    // The title of the top-level window shown at `p` (empty: none, or one
    // without a title).
    QString windowAt(QPoint p);
    // Whether the window manager keeps the window above the others.
    bool keptAbove(unsigned long window);
    // Ends the program behind a window, as a window manager ends one that
    // cannot be asked to close.
    void endClient(unsigned long window);

    // Every showing element, one line each: for the log of a failed test.
    QString dump(const QString& window = QString());

    // What the screen shows there now.
    QImage grab(const QRect& rect);
    QColor pixel(QPoint p) { return grab(QRect(p, QSize(1, 1))).pixelColor(0, 0); }

private:
    void waitForTop(const QString& window, QPoint p);
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace klavoro::test

#include "platform/win32/win32desktop.h"

#include "platform/win32/win32handles.h"

#include <dwmapi.h>

namespace klavoro::win32 {

namespace {
QRect fromRect(const RECT& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

struct TitleSearch {
    Win32Desktop* desktop;
    QString part;
    QList<WindowId> found;
};

BOOL CALLBACK collectTitled(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TitleSearch*>(data);
    if (IsWindowVisible(window) &&
        search->desktop->windowTitle(toId(window)).contains(search->part))
        search->found.append(toId(window));
    return TRUE;
}
} // namespace

QList<WindowId> Win32Desktop::findTopLevelWindows(const QString& titlePart) {
    TitleSearch search{this, titlePart, {}};
    EnumWindows(collectTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Win32Desktop::windowExists(WindowId window) {
    return window != 0 && IsWindow(toHwnd(window));
}

void Win32Desktop::setForegroundWindow(WindowId window) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return;
    if (IsIconic(w)) ShowWindow(w, SW_RESTORE);
    // Windows lets only the foreground process hand the foreground on; a
    // synthetic Alt (the documented exception) lets a background one do it.
    if (!SetForegroundWindow(w)) {
        INPUT alt[2] = {};
        alt[0].type = alt[1].type = INPUT_KEYBOARD;
        alt[0].ki.wVk = alt[1].ki.wVk = VK_MENU;
        alt[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, alt, sizeof(INPUT));
        SetForegroundWindow(w);
    }
    BringWindowToTop(w);
}

void Win32Desktop::setTopMost(WindowId window, bool topMost) {
    if (!window) return;
    SetWindowPos(toHwnd(window), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

QPoint Win32Desktop::pointerPosition() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

QSize Win32Desktop::screenSize() {
    return {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

WindowId Win32Desktop::desktopWindow() {
    return toId(GetDesktopWindow());
}

WindowId Win32Desktop::windowAt(QPoint p) {
    const POINT screen{p.x(), p.y()};
    HWND w = WindowFromPoint(screen);
    if (!w) return desktopWindow();
    // WindowFromPoint skips disabled children (a greyed button gives its
    // dialog); the descent finds them, and skips what is hidden or see-through.
    for (int depth = 0; depth < 64; ++depth) {
        POINT local = screen;
        if (!ScreenToClient(w, &local)) break;
        const HWND child =
            ChildWindowFromPointEx(w, local, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == w) break;
        w = child;
    }
    return toId(w);
}

WindowId Win32Desktop::parent(WindowId window) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return 0;
    if (GetAncestor(w, GA_ROOT) == w) return owner(window);
    const HWND up = GetAncestor(w, GA_PARENT);
    return up == GetDesktopWindow() ? 0 : toId(up);
}

WindowId Win32Desktop::owner(WindowId window) {
    if (!window) return 0;
    return toId(GetWindow(toHwnd(window), GW_OWNER));
}

WindowId Win32Desktop::topLevelWindow(WindowId window) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return 0;
    if (w == GetDesktopWindow()) return window;
    return toId(GetAncestor(w, GA_ROOT));
}

QString Win32Desktop::className(WindowId window) {
    if (!window) return {};
    wchar_t name[256];
    const int n = GetClassNameW(toHwnd(window), name, 256);
    return n > 0 ? fromWide(name, n) : QString();
}

QString Win32Desktop::windowTitle(WindowId window) {
    if (!window) return {};
    // Reads the stored title without a message: a hung application, or one
    // of our own windows while its thread waits for the hook, cannot block it.
    wchar_t title[1024];
    const int n = InternalGetWindowText(toHwnd(window), title, 1024);
    return n > 0 ? fromWide(title, n) : QString();
}

QRect Win32Desktop::windowRect(WindowId window) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return {};
    RECT r{};
    // The frame as drawn: GetWindowRect counts the invisible borders that
    // Windows 10 adds for resizing.
    if (GetAncestor(w, GA_ROOT) == w &&
        SUCCEEDED(DwmGetWindowAttribute(w, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r)) &&
        r.right > r.left)
        return fromRect(r);
    if (!GetWindowRect(w, &r)) return {};
    return fromRect(r);
}

QRect Win32Desktop::contentRect(WindowId window) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return {};
    RECT r{};
    if (!GetClientRect(w, &r)) return {};
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    return QRect(origin.x, origin.y, r.right - r.left, r.bottom - r.top);
}

WindowId Win32Desktop::foregroundWindow() {
    return toId(GetForegroundWindow());
}

WindowId Win32Desktop::focusedWindow() {
    const HWND front = GetForegroundWindow();
    if (!front) return 0;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info)) return 0;
    return toId(info.hwndFocus);
}

qint64 Win32Desktop::processId(WindowId window) {
    if (!window) return 0;
    DWORD pid = 0;
    if (!GetWindowThreadProcessId(toHwnd(window), &pid)) return 0;
    return pid;
}

bool Win32Desktop::setWindowOpacity(WindowId window, int alpha) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return false;
    alpha = qBound(0, alpha, 255);
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_EXSTYLE);
    if (alpha == 255 && !(style & WS_EX_LAYERED)) return true;
    if (!(style & WS_EX_LAYERED)) SetWindowLongPtrW(w, GWL_EXSTYLE, style | WS_EX_LAYERED);
    return SetLayeredWindowAttributes(w, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

int Win32Desktop::windowOpacity(WindowId window) {
    const HWND w = toHwnd(window);
    if (!window || !IsWindow(w)) return 255;
    if (!(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED)) return 255;
    BYTE alpha = 255;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(w, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return 255;
    return alpha;
}

} // namespace klavoro::win32

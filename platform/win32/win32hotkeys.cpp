#include "platform/win32/win32hotkeys.h"

#include "platform/win32/win32handles.h"

namespace klavoro::win32 {

namespace {
const wchar_t kClassName[] = L"KlavoroHotKeys";

bool registerClass(WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
} // namespace

Win32HotKeys::Win32HotKeys() {
    if (!registerClass(windowProc)) {
        m_error = QStringLiteral("hot key window class: ") + lastErrorText();
        return;
    }
    m_window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!m_window) {
        m_error = QStringLiteral("hot key window: ") + lastErrorText();
        return;
    }
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32HotKeys::~Win32HotKeys() {
    if (!m_window) return;
    for (auto it = m_receivers.cbegin(); it != m_receivers.cend(); ++it)
        UnregisterHotKey(m_window, it.key());
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
}

int Win32HotKeys::addAtom(const QString& name) {
    if (name.isEmpty()) return 0;
    return GlobalAddAtomW(toWide(name).c_str());
}

bool Win32HotKeys::deleteAtom(int atom) {
    if (atom <= 0 || atom > 0xFFFF) return false;
    SetLastError(ERROR_SUCCESS);
    GlobalDeleteAtom(static_cast<ATOM>(atom));
    return GetLastError() == ERROR_SUCCESS;
}

HotKeyResult Win32HotKeys::registerHotKey(HotKeyReceiver* receiver, int id, int modifiers, int vk) {
    if (!m_window || !receiver || vk <= 0 || vk > 255) return HotKeyResult::Failed;
    unregisterHotKey(id);
    UINT flags = 0;
    if (modifiers & kModAlt) flags |= MOD_ALT;
    if (modifiers & kModControl) flags |= MOD_CONTROL;
    if (modifiers & kModShift) flags |= MOD_SHIFT;
    if (!RegisterHotKey(m_window, id, flags, UINT(vk)))
        return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? HotKeyResult::TakenByOther
                                                                 : HotKeyResult::Failed;
    m_receivers.insert(id, receiver);
    return HotKeyResult::Registered;
}

bool Win32HotKeys::unregisterHotKey(int id) {
    if (!m_window || !m_receivers.contains(id)) return false;
    m_receivers.remove(id);
    return UnregisterHotKey(m_window, id);
}

void Win32HotKeys::fired(int id) {
    // The receiver may unregister keys: nothing of the table is kept across the call.
    if (HotKeyReceiver* receiver = m_receivers.value(id)) receiver->hotKey(id);
}

LRESULT CALLBACK Win32HotKeys::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        if (auto* self = reinterpret_cast<Win32HotKeys*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            self->fired(static_cast<int>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace klavoro::win32

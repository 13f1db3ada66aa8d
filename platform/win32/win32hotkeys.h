#pragma once

#include "platform/hotkeys.h"

#include <QHash>

#include <windows.h>

namespace klavoro::win32 {

// RegisterHotKey on a message-only window of its own, made on the thread that
// makes this object: WM_HOTKEY reaches it through that thread's message loop
// (Qt's, on the GUI thread). Atoms are global atoms.
class Win32HotKeys : public HotKeys {
public:
    Win32HotKeys();
    ~Win32HotKeys() override;
    Win32HotKeys(const Win32HotKeys&) = delete;
    Win32HotKeys& operator=(const Win32HotKeys&) = delete;

    bool isOpen() const { return m_window != nullptr; }
    QString errorText() const { return m_error; }
    HWND window() const { return m_window; }

    int addAtom(const QString& name) override;
    bool deleteAtom(int atom) override;
    HotKeyResult registerHotKey(HotKeyReceiver* receiver, int id, int modifiers, int vk) override;
    bool unregisterHotKey(int id) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void fired(int id);

    HWND m_window = nullptr;
    QString m_error;
    QHash<int, HotKeyReceiver*> m_receivers;
};

} // namespace klavoro::win32

#include "platform/win32/win32instancelock.h"

#include "platform/win32/win32handles.h"

namespace klavoro::win32 {

Win32InstanceLock::Win32InstanceLock(QString name) : m_name(std::move(name)) {}

Win32InstanceLock::~Win32InstanceLock() {
    release();
}

bool Win32InstanceLock::acquire() {
    if (m_mutex) return true;
    m_error.clear();
    // The mutex is never owned: that it exists is the lock.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, toWide(m_name).c_str());
    const DWORD error = GetLastError();
    if (!mutex) {
        // ERROR_ACCESS_DENIED: another user's copy made it in this namespace.
        if (error != ERROR_ACCESS_DENIED)
            m_error = m_name + QStringLiteral(": ") + lastErrorText(error);
        return false;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    m_mutex = mutex;
    return true;
}

void Win32InstanceLock::release() {
    if (!m_mutex) return;
    CloseHandle(static_cast<HANDLE>(m_mutex));
    m_mutex = nullptr;
}

} // namespace klavoro::win32

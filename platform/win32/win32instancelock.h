#pragma once

#include "platform/instancelock.h"

namespace klavoro::win32 {

// A named mutex in the session's namespace. Its handle is not inherited, and
// Windows closes it however the process ends, so a killed program never
// blocks the next start.
class Win32InstanceLock : public InstanceLock {
public:
    explicit Win32InstanceLock(QString name = QStringLiteral("Local\\klavoro-instance"));
    ~Win32InstanceLock() override;
    Win32InstanceLock(const Win32InstanceLock&) = delete;
    Win32InstanceLock& operator=(const Win32InstanceLock&) = delete;

    bool acquire() override;
    void release() override;
    QString errorText() const override { return m_error; }
    QString name() const { return m_name; }

private:
    QString m_name;
    QString m_error;
    void* m_mutex = nullptr;
};

} // namespace klavoro::win32

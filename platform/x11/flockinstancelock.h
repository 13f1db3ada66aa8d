#pragma once

#include "platform/instancelock.h"

namespace klavoro::x11 {

// An advisory lock (flock) on a file. The descriptor is not inherited by
// child processes (an editor we start must not keep the lock after we end).
class FlockInstanceLock : public InstanceLock {
public:
    explicit FlockInstanceLock(QString path = defaultPath());
    ~FlockInstanceLock() override;
    FlockInstanceLock(const FlockInstanceLock&) = delete;
    FlockInstanceLock& operator=(const FlockInstanceLock&) = delete;

    bool acquire() override;
    void release() override;
    QString errorText() const override { return m_error; }
    QString path() const { return m_path; }

    // $XDG_RUNTIME_DIR/klavoro-<display>.lock, or in the program folder
    // with the user id in the name when there is no runtime folder.
    static QString defaultPath();
    // The display name as a file-name part: ":0.0" and ":0" both give "0".
    static QString displayKey(const QString& display);

private:
    QString m_path;
    QString m_error;
    int m_fd = -1;
};

} // namespace klavoro::x11

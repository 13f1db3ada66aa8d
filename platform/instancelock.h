#pragma once

#include <QString>

namespace klavoro {

// Keeps a second copy of the program from running for the same user on the
// same display. The lock belongs to the process: it ends with it, however the
// process ends, so a killed program never blocks the next start.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // False when another process holds the lock (or it cannot be taken).
    virtual bool acquire() = 0;
    virtual void release() = 0;
    // Why acquire() failed when no other process holds the lock; empty otherwise.
    virtual QString errorText() const = 0;
};

} // namespace klavoro

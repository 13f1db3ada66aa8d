#pragma once

#include "platform/shell.h"

namespace klavoro::x11 {

// The freedesktop shell: xdg-open for files, addresses and folders.
class XdgShell : public Shell {
public:
    bool open(const QString& pathOrAddress) override;
    bool showFolder(const QString& folder) override;
};

} // namespace klavoro::x11

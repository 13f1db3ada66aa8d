#pragma once

#include "platform/shell.h"

namespace klavoro::x11 {

// The freedesktop shell: xdg-open for files, addresses and folders.
class XdgShell : public Shell {
public:
    bool open(const QString& pathOrAddress) override;
    bool showFolder(const QString& folder) override;
    // Asks xdg-mime for the default program of the file's type; when xdg-mime
    // cannot answer, the file is assumed to have one.
    bool hasProgramFor(const QString& path) override;
};

} // namespace klavoro::x11

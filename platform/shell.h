#pragma once

#include <QString>

namespace klavoro {

// The desktop shell: the user's associated programs and file browser.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file or address with its associated program. True when started.
    virtual bool open(const QString& pathOrAddress) = 0;
    // Shows a folder in the file browser. True when started.
    virtual bool showFolder(const QString& folder) = 0;
    // False when the desktop knows no program for this file, so that the
    // caller can say where the file is instead of opening it.
    virtual bool hasProgramFor(const QString& path) {
        (void)path;
        return true;
    }
};

} // namespace klavoro

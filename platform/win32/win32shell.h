#pragma once

#include "platform/shell.h"

namespace klavoro::win32 {

// ShellExecuteW's "open" verb; associations asked with AssocQueryStringW.
class Win32Shell : public Shell {
public:
    bool open(const QString& pathOrAddress) override;
    bool showFolder(const QString& folder) override;
    bool hasProgramFor(const QString& path) override;
};

} // namespace klavoro::win32

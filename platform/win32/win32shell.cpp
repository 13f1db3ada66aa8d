#include "platform/win32/win32shell.h"

#include "platform/win32/win32handles.h"

#include <QDir>
#include <QFileInfo>

#include <shellapi.h>
#include <shlwapi.h>

namespace klavoro::win32 {

namespace {
bool isAddress(const QString& text) {
    return text.contains(QLatin1String("://")) || text.startsWith(QLatin1String("mailto:"));
}

bool execute(const QString& target) {
    const std::wstring wide = toWide(isAddress(target) ? target : QDir::toNativeSeparators(target));
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
} // namespace

bool Win32Shell::open(const QString& pathOrAddress) {
    return !pathOrAddress.isEmpty() && execute(pathOrAddress);
}

bool Win32Shell::showFolder(const QString& folder) {
    return !folder.isEmpty() && execute(folder);
}

bool Win32Shell::hasProgramFor(const QString& path) {
    if (QFileInfo(path).isDir()) return true;
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) return false;
    const std::wstring extension = toWide(QLatin1Char('.') + suffix);
    wchar_t command[MAX_PATH * 2];
    DWORD length = MAX_PATH * 2;
    const HRESULT hr = AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_COMMAND,
                                         extension.c_str(), L"open", command, &length);
    // A command too long for the buffer is still a command.
    return hr == S_OK || hr == E_POINTER;
}

} // namespace klavoro::win32

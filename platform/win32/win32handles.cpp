#include "platform/win32/win32handles.h"

namespace klavoro::win32 {

QString lastErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = n && buffer ? fromWide(buffer, static_cast<int>(n)).trimmed() : QString();
    if (buffer) LocalFree(buffer);
    return QStringLiteral("error %1%2")
        .arg(code)
        .arg(text.isEmpty() ? QString() : QStringLiteral(": ") + text);
}

} // namespace klavoro::win32

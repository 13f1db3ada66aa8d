#include "platform/win32/win32soundplayer.h"

#include "platform/win32/win32handles.h"
#include "store/logs.h"

#include <QDir>
#include <QFileInfo>

#include <mmsystem.h>

namespace klavoro::win32 {

bool Win32SoundPlayer::play(const QString& path, bool wait) {
    if (m_failed || !QFileInfo(path).isFile()) return false;
    const std::wstring file = toWide(QDir::toNativeSeparators(path));
    // SND_NODEFAULT: a file that cannot be played stays silent instead of
    // ringing the system's default sound.
    const DWORD flags = SND_FILENAME | SND_NODEFAULT | (wait ? SND_SYNC : SND_ASYNC);
    if (PlaySoundW(file.c_str(), nullptr, flags)) return true;
    m_failed = true;
    writeLog(QStringLiteral("音を鳴らせません（以後は鳴らしません）: ") + path);
    return false;
}

} // namespace klavoro::win32

#include "record/sounds.h"

#include "platform/sound.h"
#include "store/logs.h"
#include "store/programfolder.h"
#include "store/settings.h"

#include <QDir>
#include <QFileInfo>

namespace klavoro {
namespace {

// The freedesktop event that sounds like each of the default settings.
QString themeEventFor(const QString& stem) {
    const QString s = stem.toLower();
    if (s == QLatin1String("chimes")) return QStringLiteral("complete");
    if (s == QLatin1String("notify")) return QStringLiteral("message");
    if (s == QLatin1String("chord")) return QStringLiteral("bell");
    return {};
}

bool isFile(const QString& path) {
    return QFileInfo(path).isFile();
}

} // namespace

QStringList soundThemeRoots() {
    QStringList dirs;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty() && !qEnvironmentVariableIsEmpty("HOME"))
        home = qEnvironmentVariable("HOME") + QStringLiteral("/.local/share");
    if (!home.isEmpty()) dirs << home;
    QString system = qEnvironmentVariable("XDG_DATA_DIRS");
    if (system.isEmpty()) system = QStringLiteral("/usr/local/share:/usr/share");
    dirs << system.split(':', Qt::SkipEmptyParts);
    QStringList roots;
    for (const QString& d : dirs)
        roots << QDir(d).filePath(QStringLiteral("sounds"));
    return roots;
}

QString findSoundFile(const QString& name, const QStringList& themeRoots) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return {};
    // Settings written on Windows may use '\'.
    const QString n = QString(trimmed).replace('\\', '/');
    if (QDir::isAbsolutePath(n)) return isFile(n) ? n : QString();

    const QString own = shippedFilesFolder() + QStringLiteral("media/") + n;
    if (isFile(own)) return own;

    const QString stem = QFileInfo(n).completeBaseName();
    QStringList stems{stem};
    if (const QString event = themeEventFor(stem); !event.isEmpty()) stems << event;
    for (const QString& root : themeRoots) {
        const QString direct = QDir(root).filePath(n);
        if (isFile(direct)) return direct;
        for (const QString& s : stems)
            for (const char* ext : {".wav", ".oga", ".ogg"}) {
                const QString themed = QDir(root).filePath(QStringLiteral("freedesktop/stereo/") +
                                                           s + QLatin1String(ext));
                if (isFile(themed)) return themed;
            }
    }
    return {};
}

StepSounds::StepSounds(SoundPlayer* player, QStringList themeRoots)
    : m_player(player), m_roots(std::move(themeRoots)) {}

bool StepSounds::play(const QString& name, bool soundOption, bool wait) {
    if (conf().captureSound != 1 && !soundOption) return false;
    if (!m_player) return false;
    const QString path = findSoundFile(name, m_roots);
    if (path.isEmpty()) {
        if (!m_reported.contains(name)) {
            m_reported.insert(name);
            writeLog(QStringLiteral("音のファイルがありません: ") + name);
        }
        return false;
    }
    return m_player->play(path, wait);
}

} // namespace klavoro

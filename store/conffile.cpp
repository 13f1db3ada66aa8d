#include "store/conffile.h"

#include "capture/monitorlayout.h"

#include "store/confreading.h"
#include "store/conftext.h"
#include "store/logs.h"
#include "store/pathops.h"
#include "store/programfolder.h"
#include "store/textfile.h"
#include "store/windowplacement.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace klavoro {

QString runningExeName() {
    const QString exe = QCoreApplication::instance()
                            ? QCoreApplication::applicationFilePath()
                            : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(exe).completeBaseName();
}

ConfFile::ConfFile(MainWindowPlacement& window, Dialogs* dialogs, QString exeName)
    : m_window(window), m_dialogs(dialogs), m_exeName(std::move(exeName)) {}

QString ConfFile::path() const {
    return programFolder() + QStringLiteral("Conf.txt");
}

namespace {

// Capture folder check: a folder that does not exist leaves the setting empty
// (the capture base folder); an existing one gets its trailing separator.
void checkCaptureFolder(Settings& s) {
    const QString resolved = unquote(resolvePath(s.saveFolderPath));
    if (!QFileInfo(resolved).isDir()) {
        if (!s.saveFolderPath.isEmpty())
            writeLog(QStringLiteral("Conf.txt: save folder path 「%1」 はフォルダーではありません。"
                                    "「%2」に保存します")
                         .arg(s.saveFolderPath.left(300), captureBaseFolder()));
        s.saveFolderPath.clear();
    } else if (!s.saveFolderPath.isEmpty()) {
        s.saveFolderPath = withTrailingSeparator(s.saveFolderPath);
    }
}

} // namespace

ConfLoadReport ConfFile::load(Settings& settings) {
    ConfLoadReport report;
    const QList<QRect> monitors = m_window.monitors();
    const WindowRect windowDefaults = defaultWindowRect(
        monitors.isEmpty() ? QRect(QPoint(0, 0), m_window.screenSize()) : monitors.first());
    ConfText chosen;
    chosen.window = windowDefaults;
    m_keepUnreadFile = false;

    // Leftovers of a save that was cut off; nothing else writes Conf.txt now.
    removeLeftTemporaries(programFolder(), QStringLiteral("Conf.txt"));
    const QString file = path();
    if (QFileInfo::exists(file)) {
        report.fileFound = true;
        bool ok = true;
        QString error;
        const QByteArray bytes = readFileBytes(file, m_dialogs, &ok, &error);
        if (!ok) {
            report.readFailed = true;
            m_keepUnreadFile = true;
            writeLog(
                QStringLiteral("Conf.txt を読めません。既定値を使い、ファイルは上書きしません: ") +
                error);
        } else {
            ConfChoice choice = chooseConfReading(bytes, m_exeName, windowDefaults);
            chosen = std::move(choice.parsed);
            report.charset = choice.reading.label;
            report.exeNameMatched = choice.exeNameMatched;
            report.faithful = choice.faithful;
            if (!choice.faithful)
                writeLog(QStringLiteral("Conf.txt (%1 として読みました): %2。"
                                        "保存の前に元のファイルを残します")
                             .arg(choice.reading.label, choice.why));
            if (!report.exeNameMatched && chosen.recognisedKeys > 0)
                writeLog(QStringLiteral("Conf.txt: exe name 「%1」 が実行ファイル名 「%2」 と"
                                        "一致しません。最も多くのキー (%3 個) を読めた %4 "
                                        "の読み取りを使います")
                             .arg(chosen.exeName.left(100), m_exeName)
                             .arg(chosen.recognisedKeys)
                             .arg(report.charset));
            for (const QString& note : chosen.notes)
                writeLog(note);
            for (const QString& error : chosen.errors)
                writeLog(error);
            report.errors = chosen.errors;
        }
    }

    // The two run-only switches are the user's choice for this run, not file content.
    const qint32 autoSave = settings.autoSave;
    const qint32 thumbnailStatic = settings.thumbnailStatic;
    settings = chosen.settings;
    settings.autoSave = autoSave;
    settings.thumbnailStatic = thumbnailStatic;
    checkCaptureFolder(settings);
    m_window.placeMainWindow(placedOnMonitors(chosen.window, monitors), settings.splitterLeft);
    return report;
}

bool ConfFile::keepOriginalIfNotFaithful() {
    const QString file = path();
    if (!QFileInfo::exists(file)) return true;
    bool ok = true;
    QString error;
    const QByteArray bytes = readFileBytes(file, nullptr, &ok, &error);
    if (!ok) {
        writeLog(QStringLiteral(
                     "Conf.txt を保存できません: 今のファイルを読めないため上書きしません: ") +
                 error);
        return false;
    }
    const ConfChoice choice =
        chooseConfReading(bytes, m_exeName, defaultWindowRect(primaryMonitor(
                                                m_window.monitors(),
                                                QRect(QPoint(0, 0), m_window.screenSize()))));
    if (choice.faithful) return true;
    const QString backup = keepBackupCopy(file, &error);
    if (backup.isEmpty()) {
        writeLog(QStringLiteral("Conf.txt を保存できません: 元のファイル（%1）を残せません: %2")
                     .arg(choice.why, error));
        return false;
    }
    writeLog(QStringLiteral("Conf.txt (%1 として読みました): %2。元のファイルを %3 に残しました")
                 .arg(choice.reading.label, choice.why, fileNameOf(backup)));
    return true;
}

int ConfFile::save(const Settings& settings) {
    if (m_keepUnreadFile) {
        writeLog(QStringLiteral("Conf.txt は読めなかったため上書きしません: ") + path());
        return -1;
    }
    // What this save would not carry over stays in a backup first.
    if (!keepOriginalIfNotFaithful()) return -1;
    const QString text = confFileText(settings, m_window.normalRect(), m_exeName);
    QString error;
    if (!writeWholeFile(path(), text, &error)) {
        writeLog(QStringLiteral("Conf.txt を保存できません: ") + error);
        return -1;
    }
    return 0;
}

} // namespace klavoro

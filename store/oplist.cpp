#include "store/oplist.h"

#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/imagename.h"
#include "store/logs.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace klavoro {

namespace {
const QString kOpList = QStringLiteral("OpList.txt");
const QString kCrLf = QStringLiteral("\r\n");

// The header's step number as the loader accepts it: a number, not negative.
bool parseStepNumber(const QString& text, int* out) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || v < 0 || !std::isfinite(v) || v > 2147483647.0) return false;
    *out = static_cast<int>(std::nearbyint(v)); // halves to even
    return true;
}
} // namespace

OperationList::OperationList(StepList& list, OpListHost& host, Dialogs& dialogs)
    : m_list(list), m_host(host), m_dialogs(dialogs) {}

QString OperationList::progressText(int n, int total) {
    return QString::number(n).rightJustified(3, ' ') + '/' + QString::number(total);
}

int OperationList::addStep(int n, const QString& imageName, const QString& message,
                           const QString& extension, const QString& checkMark, bool createTile,
                           bool keepStrip) {
    if (n <= 0) return -1;
    const QString line = unescapeName(buildStepLine(n, imageName, message, extension, checkMark));
    if (n > m_list.count()) {
        m_list.append(line);
        m_lastAdded = imageName;
        m_host.stepAdded(m_list.count(), createTile, keepStrip);
        return 0;
    }
    // Replacing a step needs its current image on disk (a wrapped recording
    // overwrites old steps this way); without it the list stays as it is.
    const QString folder = captureFolder();
    const QString oldName = m_list.field(n, FieldImageName);
    if (findImageFile(folder, oldName).isEmpty()) return 0;
    const QString thumb = thumbnailPath(folder, oldName);
    if (!thumb.isEmpty()) deleteFileAndWait(thumb);
    m_list.setLine(n, line);
    m_host.stepAdded(n, createTile, keepStrip);
    return 0;
}

QString OperationList::buildFileText() const {
    const int count = m_list.count();
    if (count == 0) return {};
    QString text;
    text.reserve(count * 140 + 64);
    text += QStringLiteral("最終行 = \t") + m_host.currentStepText() + QStringLiteral("\t\r\n");
    text += QString(28, '-') + QChar(3) + kCrLf;
    for (int n = 1; n <= count; ++n) {
        QString l = m_list.line(n);
        if (l.contains(kCrLf)) l.replace(kCrLf, QString(QChar(4)));
        text += l;
        text += kCrLf;
    }
    return text;
}

std::optional<OperationList::PreparedSave> OperationList::prepareSave() {
    if (m_loadFailed) {
        writeLog(QStringLiteral("保存無視－読込時（MyLoadFile）で既にエラー"));
        return std::nullopt;
    }
    if (m_loading) {
        writeLog(QStringLiteral("保存無視－読込中（MyLoadFile）"));
        return std::nullopt;
    }
    PreparedSave prepared;
    if (m_list.count() > 0) {
        prepared.text = buildFileText();
        const QString folder = captureFolder();
        prepared.paths.append(folder + kOpList);
        if (conf().noRectFile == 1)
            prepared.paths.append(folder + QStringLiteral("NO_RECT/") + kOpList);
    }
    messageEdited = false;
    m_lastAdded.clear();
    return prepared;
}

bool OperationList::writePrepared(const PreparedSave& prepared, QString* error) {
    if (prepared.paths.isEmpty()) return true;
    const QByteArray bytes = toShiftJis(prepared.text);
    bool ok = true;
    for (qsizetype i = 0; i < prepared.paths.size(); ++i) {
        const QString& path = prepared.paths[i];
        // The copies (NO_RECT) may not have their folder yet; the capture folder has.
        if (i > 0) createFolderTree(parentFolder(path));
        QString why;
        if (!writeWholeFileBytes(path, bytes, &why)) {
            if (error && ok) *error = why;
            ok = false;
        }
    }
    return ok;
}

bool OperationList::save() {
    const std::optional<PreparedSave> prepared = prepareSave();
    if (!prepared) return false;
    QString error;
    if (writePrepared(*prepared, &error)) return true;
    // The list in memory stays; the log says why the file did not change.
    writeLog(QStringLiteral("OpList.txt 保存失敗：") + error);
    return false;
}

void OperationList::reportLoadFailure(const QString& ownText, const QString& error,
                                      const QString& path) {
    QString text = ownText;
    if (text.isEmpty()) {
        const int len = halfWidthLength(path);
        if (len > 256)
            text = kCrLf + kCrLf + QStringLiteral("パスが長すぎます！") + QString::number(len) +
                   QStringLiteral("文字(半角換算)（制限値：256文字）");
        if (!error.isEmpty()) text = error + kCrLf + kCrLf + path + text;
    }
    writeLog(text);
    if (!text.isEmpty()) m_dialogs.message(text, QStringLiteral("MyLoadFiles"));
    m_host.setStatus(QStringLiteral("ロード失敗！"));
    m_loadFailed = true;
    m_host.setThumbnailPanelVisible(true);
}

void OperationList::keepIgnoredContent(const QString& path, int ignoredLines) {
    // The next save writes only what was loaded: keep the whole original first.
    const QString stamp = timeStampNow();
    QString backup = path + '.' + stamp + QStringLiteral(".bak");
    for (int k = 2; QFileInfo::exists(backup); ++k)
        backup = path + '.' + stamp + '-' + QString::number(k) + QStringLiteral(".bak");
    const bool copied = QFile::copy(path, backup);
    QString text =
        QStringLiteral("OpList.txt の %1 "
                       "行は読み込まれませんでした（空行の後、または最終行に改行がありません）。")
            .arg(ignoredLines);
    text += copied ? kCrLf + QStringLiteral("元のファイルを保存しました：") + backup
                   : kCrLf + QStringLiteral("元のファイルの保存に失敗しました：") + backup;
    writeLog(text);
    m_dialogs.message(text, QStringLiteral("MyLoadFiles"));
}

bool OperationList::load() {
    LongOperation loading;
    const QString path = captureFolder() + kOpList;
    if (!QFileInfo::exists(path)) return true;

    bool ok = false;
    m_loading = true;
    auto finish = [&] {
        m_loading = false;
        m_host.showProgress(QString());
        m_host.setImageSizePanelVisible(m_list.count() > 0);
        m_host.bringToFront();
        return ok;
    };

    bool readOk = true;
    QString readError;
    const QString content =
        readTextFile(path, QStringLiteral("shift-jis"), nullptr, &readOk, &readError);
    if (!readOk) {
        reportLoadFailure(QString(), readError, path);
        return finish();
    }

    // Lines are views into the content: a large file is not copied again.
    // Element 0 is the text before the first line end, as if CR LF led the body.
    QStringView body(content);
    int current = 0;
    const qsizetype separators = content.count(QChar(3));
    if (separators == 1) {
        const qsizetype sep = content.indexOf(QChar(3));
        body = body.mid(sep + 1);
        const QList<QStringView> head = QStringView(content).left(sep).split('\t');
        const QString number = head.size() > 1 ? head[1].toString() : QString();
        if (!parseStepNumber(number, &current)) {
            reportLoadFailure(QStringLiteral("OpList不正：LastNo=") + number, QString(), path);
            return finish();
        }
    }
    QList<QStringView> lines = body.split(kCrLf);
    if (separators != 1 || !body.startsWith(kCrLf)) lines.prepend(QStringView());
    if (separators != 1) current = static_cast<int>(lines.size()) - 1;
    const int last = static_cast<int>(lines.size()) - 2;

    m_host.showProgress(QStringLiteral("既存画像読み込み中・・・"));
    QStringList pending; // appended in batches: one model update per 500 lines
    auto flush = [&] {
        const int first = m_list.count() + 1;
        m_list.appendLines(pending);
        for (int n = first; n <= m_list.count(); ++n)
            m_host.stepAdded(n, true, true);
        pending.clear();
    };
    int i = 1;
    for (; i <= last; ++i) {
        const QStringView raw = lines[i];
        if (raw.isEmpty()) break;
        QList<QStringView> f = raw.split('\t');
        while (f.size() < 7)
            f.append(QStringView());
        const QString name = f[1].toString();
        if (i > m_list.count() + pending.size()) {
            pending.append(unescapeName(
                buildStepLine(i, name, f[4].toString(), f[5].toString(), f[6].toString())));
            m_lastAdded = name;
        } else {
            flush();
            if (addStep(i, name, f[4].toString(), f[5].toString(), f[6].toString(), true, true) !=
                0) {
                reportLoadFailure(QStringLiteral("リスト追加失敗"), QString(), path);
                return finish();
            }
        }
        if (i % 500 == 0) {
            flush();
            m_host.setCaption(QString::number(i));
            m_host.setStatus(progressText(i, last));
            letEventsRun();
        }
    }
    flush();

    int ignored = lines.last().isEmpty() ? 0 : 1;
    for (int k = i + 1; k <= last; ++k)
        if (!lines[k].isEmpty()) ++ignored;

    m_host.setCaption(windowTitle());
    m_host.setStatus(progressText(current, last));
    OpListHost::Detail detail;
    if (current > 0) // step 0 would mean the selected step; here it means none
        detail = {m_list.field(current, FieldNumber),    m_list.field(current, FieldImageName),
                  m_list.field(current, FieldExtension), m_list.field(current, FieldMessage),
                  m_list.field(current, FieldCreation),  m_list.field(current, FieldReserved)};
    m_host.setDetailFields(detail);
    if (current != 0) {
        m_host.selectStep(current);
        m_host.setListScrollMax(std::max(current, m_list.count()));
        if (content.contains(kCrLf)) m_host.setStatus(QStringLiteral("ロード完了！"));
    }
    m_loadFailed = false;
    ok = true;
    if (ignored > 0) keepIgnoredContent(path, ignored);
    return finish();
}

} // namespace klavoro

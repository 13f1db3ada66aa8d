#include "store/oplist.h"

#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/imagename.h"
#include "store/logs.h"
#include "store/oplisttext.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QFileInfo>

#include <algorithm>

namespace klavoro {

namespace {
const QString kOpList = QStringLiteral("OpList.txt");
const QString kCrLf = QStringLiteral("\r\n");
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
    const QString line = buildStepLine(n, unescapeName(imageName), unescapeName(message),
                                       unescapeName(extension), unescapeName(checkMark));
    if (n > m_list.count()) {
        m_list.append(line);
        m_lastAdded = imageName;
        m_host.stepAdded(m_list.count(), createTile, keepStrip);
        return 0;
    }
    replaceStep(n, line, createTile, keepStrip);
    return 0;
}

void OperationList::replaceStep(int n, const QString& line, bool createTile, bool keepStrip) {
    // Replacing a step needs its current image on disk (a wrapped recording
    // overwrites old steps this way); without it the list stays as it is.
    const QString folder = captureFolder();
    const QString oldName = m_list.field(n, FieldImageName);
    if (findImageFile(folder, oldName).isEmpty()) return;
    const QString thumb = thumbnailPath(folder, oldName);
    if (!thumb.isEmpty()) deleteFileAndWait(thumb);
    m_list.setLine(n, line);
    m_host.stepAdded(n, createTile, keepStrip);
}

QString OperationList::buildFileText() const {
    return opListFileText(m_list.lines(), m_host.currentStepText());
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

void OperationList::keepOriginal(const QString& path, int ignoredLines, int markedLines) {
    // The next save writes only what was loaded: keep the whole original first.
    QString why;
    const QString kept = keepBackupCopy(path, &why);
    QString text;
    if (ignoredLines > 0)
        text = QStringLiteral("OpList.txt の %1 行は読み込まれませんでした"
                              "（空行の後、または最終行に改行がありません）。")
                   .arg(ignoredLines);
    if (markedLines > 0) {
        if (!text.isEmpty()) text += kCrLf;
        text += QStringLiteral("OpList.txt の %1 行に見出し記号 (0x03) "
                               "がありました。記号を除いて読み込みました。")
                    .arg(markedLines);
    }
    text += kCrLf + (kept.isEmpty() ? QStringLiteral("元のファイルの保存に失敗しました：") + why
                                    : QStringLiteral("元のファイルを保存しました：") + kept);
    writeLog(text);
    // Lost lines are worth a message; a dropped mark is not.
    if (ignoredLines > 0 || kept.isEmpty()) m_dialogs.message(text, QStringLiteral("MyLoadFiles"));
}

bool OperationList::load() {
    LongOperation loading;
    const QString folder = captureFolder();
    const QString path = folder + kOpList;
    // Leftovers of a write that was cut off; the writer retries on its own.
    removeLeftTemporaries(folder, kOpList);
    removeLeftTemporaries(folder + QStringLiteral("NO_RECT/"), kOpList);
    removeLeftImageTemporaries(folder, kImageTemporaryAge);
    removeLeftImageTemporaries(folder + QStringLiteral("NO_RECT/"), kImageTemporaryAge);
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
    const OpListRead read = parseOpListText(content);
    if (read.badNumber) {
        reportLoadFailure(QStringLiteral("OpList不正：LastNo=") + read.numberText, QString(), path);
        return finish();
    }

    m_host.showProgress(QStringLiteral("既存画像読み込み中・・・"));
    const int total = static_cast<int>(read.lines.size());
    // Appended in batches: one model update per 500 lines.
    for (int from = 0; from < total;) {
        const int to = std::min<int>(total, (from / 500 + 1) * 500);
        // Steps that already exist are replaced one by one (only a list that
        // was not emptied before loading has them).
        while (from < to && from < m_list.count()) {
            replaceStep(from + 1, read.lines[from], true, true);
            ++from;
        }
        if (from < to) {
            const int first = m_list.count() + 1;
            m_list.appendLines(read.lines.mid(from, to - from));
            for (int n = first; n <= m_list.count(); ++n)
                m_host.stepAdded(n, true, true);
            m_lastAdded = m_list.field(m_list.count(), FieldImageName);
            from = to;
        }
        if (to % 500 == 0) {
            m_host.setCaption(QString::number(to));
            m_host.setStatus(progressText(to, read.lastIndex));
            letEventsRun();
        }
    }

    const int current = read.current;
    m_host.setCaption(windowTitle());
    m_host.setStatus(progressText(current, read.lastIndex));
    OpListHost::Detail detail;
    if (current > 0) // step 0 would mean the selected step; here it means none
        detail = {m_list.field(current, FieldNumber),    m_list.field(current, FieldImageName),
                  m_list.field(current, FieldExtension), m_list.field(current, FieldMessage),
                  m_list.field(current, FieldCreation),  m_list.field(current, FieldReserved)};
    m_host.setDetailFields(detail);
    if (current != 0) {
        m_host.selectStep(current);
        m_host.setListScrollMax(std::max(current, m_list.count()));
        if (read.hasLineEnd) m_host.setStatus(QStringLiteral("ロード完了！"));
    }
    m_loadFailed = false;
    ok = true;
    if (read.ignoredLines > 0 || read.markedLines > 0)
        keepOriginal(path, read.ignoredLines, read.markedLines);
    return finish();
}

} // namespace klavoro

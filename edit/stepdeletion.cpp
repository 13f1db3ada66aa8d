#include "edit/stepdeletion.h"

#include "store/capturefolder.h"
#include "edit/deletionfolder.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/logs.h"
#include "store/notices.h"
#include "store/oplist.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "edit/stepedithost.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace klavoro {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kOpList = QStringLiteral("OpList.txt");
const QString kDone = QStringLiteral("削除完了");
const QString kTitle = QStringLiteral("削除");

// A message lists this many files at most.
constexpr int kListedFiles = 20;

QString fileListText(const QStringList& files, const QString& folder) {
    QString text;
    for (int i = 0; i < files.size() && i < kListedFiles; ++i) {
        QString f = files[i];
        if (f.startsWith(folder)) f = f.mid(folder.size());
        text += kCrLf + QStringLiteral("　") + f;
    }
    if (files.size() > kListedFiles)
        text += kCrLf + QStringLiteral("　ほか %1 件").arg(files.size() - kListedFiles);
    return text;
}

// Every line before `count` is still where it was (events ran meanwhile).
bool samePrefix(const QStringList& now, const QStringList& before) {
    return now.size() >= before.size() && std::equal(before.cbegin(), before.cend(), now.cbegin());
}
} // namespace

StepDeletion::StepDeletion(StepList& steps, OperationList& opList, StepEditHost& host,
                           Dialogs& dialogs, Notices& notices)
    : m_steps(steps), m_opList(opList), m_host(host), m_dialogs(dialogs), m_notices(notices) {}

QString StepDeletion::confirmSelectedText(int s) {
    return QStringLiteral("選択している No = %1 を削除します。よろしいですか？").arg(s);
}

QString StepDeletion::confirmUpperText(int s) {
    return QStringLiteral(
               "選択画像 （ %1 ） を含め、左（上）側 （ No = 1 ～ %1 ） を全て削除します。")
               .arg(s) +
           kCrLf + kCrLf + QStringLiteral("よろしいですか？");
}

QString StepDeletion::confirmLowerText(int s, int n) {
    return QStringLiteral(
               "選択画像 （ %1 ） を含め、右（下）側 （ No = %1 ～ %2 ） を全て削除します。")
               .arg(s)
               .arg(n) +
           kCrLf + kCrLf + QStringLiteral("よろしいですか？");
}

QString StepDeletion::confirmAllText(const QString& folder) {
    return QStringLiteral("下記フォルダ内の全てのデータを削除します。よろしいですか？") + kCrLf +
           kCrLf + folder;
}

bool StepDeletion::confirm(const QString& text) {
    if (conf().noConfirm != 0) return true;
    return m_dialogs.askOkCancel(text, QStringLiteral("削除確認"));
}

int StepDeletion::currentNumber() const {
    return m_host.currentStepText().trimmed().toInt();
}

void StepDeletion::setCurrentNumber(int n) {
    m_host.setCurrentStepText(n == 0 ? QString() : QString::number(n));
}

int StepDeletion::clampStripFirst(int first) const {
    const int panels = std::max(1, m_host.stripPanelCount());
    const int count = m_steps.count();
    if (count < panels) return 1;
    return std::clamp(first, 1, count - panels + 1);
}

void StepDeletion::afterDeletion(int select) {
    const int count = m_steps.count();
    if (count > 0) {
        // Read before selecting: the window shows the selected step's number.
        const int number = currentNumber();
        m_host.selectStep(std::clamp(select, 1, count));
        m_host.setRecordingStepNumber(number);
    } else {
        setCurrentNumber(0);
        m_host.setRecordingStepNumber(0);
    }
}

void StepDeletion::report(const Outcome& outcome) {
    if (outcome.failedFiles.isEmpty()) return;
    const QString text =
        QStringLiteral(
            "次のファイルを削除できませんでした。そのステップはリストに残してあります。") +
        kCrLf + fileListText(outcome.failedFiles, captureFolder());
    writeLog(text);
    m_dialogs.message(text, kTitle);
}

StepDeletion::Outcome StepDeletion::deleteSteps(const QList<int>& steps, Mode mode) {
    LongOperation deleting;
    Outcome out;
    const int count = m_steps.count();
    QList<int> wanted;
    for (int i : steps)
        if (i >= 1 && i <= count) wanted << i;
    if (wanted.isEmpty()) return out;

    const QString folder = captureFolder();
    const QStringList before = m_steps.lines();
    ListedNames listed, staying;
    {
        qsizetype next = 0;
        for (int i = 1; i <= count; ++i) {
            const QString name = m_steps.field(i, FieldImageName);
            listed.add(name);
            if (next < wanted.size() && wanted[next] == i)
                ++next;
            else
                staying.add(name);
        }
    }

    DeletionFolder bin(folder);
    QString error;
    if (!bin.create(listed, &error)) {
        const QString text =
            QStringLiteral("削除用のフォルダを作成できないため、削除を中止しました。") + kCrLf +
            kCrLf + bin.path() + kCrLf + error;
        writeLog(text);
        m_dialogs.message(text, kTitle);
        out.aborted = true;
        return out;
    }

    QList<int> removed;
    const int first = wanted.first();
    for (qsizetype k = wanted.size() - 1; k >= 0; --k) {
        const int i = wanted[k];
        if (i % 100 == 0 || i == first) {
            m_notices.showProgress(QStringLiteral("ファイル削除準備中・・") + QString::number(i));
            letEventsRun();
        }
        // A file that a staying step also names stays with it.
        const StepFiles files = stepFilesOf(folder, lineField(before[i - 1], FieldImageName));
        QStringList move;
        if (!files.image.isEmpty() && !staying.usesFile(fileNameOf(files.image)))
            move << files.image;
        if (!files.noRect.isEmpty() && !staying.usesFile(fileNameOf(files.noRect)))
            move << files.noRect;
        if (!files.thumbnail.isEmpty() && !staying.usesThumbnail(fileNameOf(files.thumbnail)))
            move << files.thumbnail;
        if (bin.moveIn(move, &out.failedFiles)) removed.prepend(i);
    }
    m_notices.showProgress(QStringLiteral("ファイル削除中・・・・"));

    // `listChanged`: the steps were already taken out of the list. Lines
    // appended meanwhile (a recording) stay behind the restored ones.
    auto undo = [&](const QString& why, bool listChanged) {
        if (listChanged) {
            QStringList restored = before;
            restored += m_steps.lines().mid(count - static_cast<int>(removed.size()));
            m_host.setListEventsSuppressed(true);
            m_steps.setLines(restored);
            m_host.setListEventsSuppressed(false);
        }
        const QStringList stuck = bin.restoreAll();
        bin.remove();
        QString text = why;
        if (!stuck.isEmpty())
            text += kCrLf + kCrLf + QStringLiteral("次のファイルは ") + bin.path() +
                    QStringLiteral(" に残っています。") + fileListText(stuck, folder);
        writeLog(text);
        m_notices.showProgress(QString());
        m_dialogs.message(text, kTitle);
        out = Outcome();
        out.aborted = true;
    };

    // Something else changed the list while events ran: the numbers no
    // longer name the same steps.
    if (!samePrefix(m_steps.lines(), before)) {
        undo(QStringLiteral("削除中にリストが変更されたため、削除を取り消しました。"), false);
        return out;
    }

    if (removed.isEmpty()) {
        bin.remove();
        m_notices.showProgress(QString());
        return out;
    }
    // Read first: the window's selection handling rewrites the box while
    // the rows go.
    const QString oldNumber = m_host.currentStepText();
    m_host.setListEventsSuppressed(true);
    m_steps.removeSteps(removed);
    m_host.setListEventsSuppressed(false);
    out.removed = static_cast<int>(removed.size());
    const int left = m_steps.count();
    if (mode == Mode::Checked)
        setCurrentNumber(left);
    else
        setCurrentNumber(std::max(left, oldNumber.trimmed().toInt() - out.removed));

    bool saved = true;
    if (left == 0) {
        // A list that was only partly loaded still names the steps it could
        // not read; only deleting everything may drop it.
        const QString path = folder + kOpList;
        saved = (mode == Mode::All || !m_opList.loadFailed()) &&
                (!QFileInfo::exists(path) || QFile::remove(path));
        if (saved && conf().noRectFile == 1)
            QFile::remove(folder + QStringLiteral("NO_RECT/") + kOpList);
    } else {
        saved = m_opList.save();
    }
    if (!saved) {
        m_host.setCurrentStepText(oldNumber);
        QString why = QStringLiteral("「OpList.txt」を更新できないため、削除を取り消しました。");
        if (m_opList.loadFailed())
            why += kCrLf + QStringLiteral("（読み込み時のエラーのため、リストは保存されません）");
        undo(why, true);
        return out;
    }
    bin.remove();

    m_host.refreshStrip();
    m_host.setStripFirstStep(clampStripFirst(m_host.stripFirstStep()));
    m_notices.showProgress(QString());
    return out;
}

StepDeletion::Outcome StepDeletion::deleteRange(int first, int last) {
    QList<int> steps;
    for (int i = std::max(first, 1); i <= std::min(last, m_steps.count()); ++i)
        steps << i;
    return deleteSteps(steps, Mode::Range);
}

void StepDeletion::deleteSelected() {
    if (m_busy || !m_host.isForeground()) return;
    const int s = m_steps.selectedStep();
    if (s < 1 || s > m_steps.count()) return;
    if (!confirm(confirmSelectedText(s))) return;
    m_busy = true;
    const int strip = m_host.stripFirstStep();
    m_host.setRedraw(false);
    m_host.setStatus(QStringLiteral("削除中・・・"));
    const Outcome outcome = deleteRange(s, s);
    m_host.setStatus(outcome.removed > 0 ? kDone : QString());
    // The strip goes back to where it was; selecting may then scroll it.
    m_host.setStripFirstStep(clampStripFirst(strip));
    if (outcome.removed > 0) afterDeletion(s);
    m_host.setRedraw(true);
    m_host.setImageSizePanelVisible(m_steps.count() > 0);
    m_busy = false;
    report(outcome);
}

void StepDeletion::deleteUpper() {
    if (m_busy) return;
    const int s = m_steps.selectedStep();
    if (s < 1 || s > m_steps.count()) return;
    if (!confirm(confirmUpperText(s))) return;
    m_busy = true;
    m_host.setRedraw(false);
    const Outcome outcome = deleteRange(1, s);
    if (outcome.removed > 0) afterDeletion(1);
    m_host.setRedraw(true);
    m_host.setImageSizePanelVisible(m_steps.count() > 0);
    if (outcome.removed > 0) m_host.setStatus(kDone);
    m_busy = false;
    report(outcome);
}

void StepDeletion::deleteLower() {
    if (m_busy) return;
    const int s = m_steps.selectedStep();
    const int n = m_steps.count();
    if (s < 1 || s > n) return;
    if (!confirm(confirmLowerText(s, n))) return;
    m_busy = true;
    m_host.setRedraw(false);
    const Outcome outcome = deleteRange(s, n);
    if (outcome.removed > 0) {
        afterDeletion(s);
        m_host.setStripFirstStep(
            clampStripFirst(std::max(1, s - std::max(1, m_host.stripPanelCount()) + 1)));
    }
    m_host.setRedraw(true);
    m_host.setImageSizePanelVisible(m_steps.count() > 0);
    m_busy = false;
    report(outcome);
}

void StepDeletion::deleteChecked() {
    if (m_busy) return;
    if (!m_dialogs.askOkCancel(
            QStringLiteral("チェックされた項目をすべて削除します。よろしいですか？"), kTitle))
        return;
    m_busy = true;
    const int selected = m_steps.selectedStep();
    QList<int> checked;
    for (int i = 1; i <= m_steps.count(); ++i)
        if (m_steps.field(i, FieldCheck) == kCheckMark) checked << i;
    m_host.setRedraw(false);
    const Outcome outcome = deleteSteps(checked, Mode::Checked);
    if (outcome.removed > 0) {
        // The selection stays on its step, or on the next one that stayed.
        int below = 0;
        for (int i : checked)
            if (i < selected) ++below;
        afterDeletion(std::max(1, selected - below));
        m_host.setStripFirstStep(1);
    }
    m_host.setRedraw(true);
    m_host.setImageSizePanelVisible(m_steps.count() > 0);
    m_busy = false;
    report(outcome);
}

void StepDeletion::removeFolderLeftovers() {
    const QString folder = captureFolder();
    const QDir dir(folder);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!f.fileName().endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)) continue;
        if (!(f.permissions() & QFileDevice::WriteOwner)) continue; // read-only files stay
        QFile::remove(f.filePath());
    }
    QFile::remove(folder + kOpList);
    deleteFolder(folder + QStringLiteral("NO_RECT"));
    deleteFolder(folder + QStringLiteral("Thumb"));
}

bool StepDeletion::deleteAll(bool ask) {
    if (m_busy) return false;
    if (ask && !confirm(confirmAllText(captureFolder()))) return false;
    m_busy = true;
    m_host.setRedraw(false);
    QList<int> all;
    for (int i = 1; i <= m_steps.count(); ++i)
        all << i;
    const Outcome outcome = deleteSteps(all, Mode::All);
    const bool everything = !outcome.aborted && m_steps.count() == 0;
    if (everything) {
        removeFolderLeftovers();
        m_host.setStripFirstStep(1);
        m_host.clearStepView();
        setCurrentNumber(0);
        m_host.setRecordingStepNumber(0);
        m_host.setKeyBoxVisible(false);
        m_host.setStatus(QString());
        m_steps.clear();
    } else if (outcome.removed > 0) {
        afterDeletion(1);
    }
    m_host.setRedraw(true);
    m_host.setImageSizePanelVisible(m_steps.count() > 0);
    if (everything) m_host.setStatus(kDone);
    m_busy = false;
    report(outcome);
    return everything;
}

} // namespace klavoro

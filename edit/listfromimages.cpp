#include "edit/listfromimages.h"

#include "edit/stepedithost.h"
#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/imagename.h"
#include "store/logs.h"
#include "store/notices.h"
#include "store/oplisttext.h"
#include "store/pathops.h"
#include "store/settings.h"
#include "store/sjis.h"
#include "store/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace klavoro {

namespace {
const QString kOpList = QStringLiteral("OpList.txt");
const QString kCrLf = QStringLiteral("\r\n");
const QString kTitle = QStringLiteral("管理ファイル作成");

bool isImageExtension(const QString& ext) {
    static const QStringList kExtensions = {"jpg", "jpeg", "bmp", "png", "gif"};
    return kExtensions.contains(ext.toLower());
}

// A name survives the list file only without field or line separators and
// when Shift-JIS can hold every character of it.
bool fitsListFile(const QString& name) {
    for (QChar c : name)
        if (c == '\t' || c == '\r' || c == '\n' || c == QChar(3) || c == QChar(4)) return false;
    return fromShiftJis(toShiftJis(name)) == name;
}
} // namespace

QString visibleFileName(const QString& name) {
    QString out;
    out.reserve(name.size() + 8);
    for (const QChar c : name) {
        if (c == u'\t')
            out += QStringLiteral("<TAB>");
        else if (c == u'\n')
            out += QStringLiteral("<LF>");
        else if (c == u'\r')
            out += QStringLiteral("<CR>");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QStringList imageFilesOf(const QString& folder, QStringList* skipped) {
    QStringList names;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Unsorted)) {
        if (!isImageExtension(extensionOf(name))) continue;
        if (fitsListFile(name))
            names << name;
        else if (skipped)
            *skipped << name;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString imageListText(const QStringList& names, const QString& anyPhrase) {
    // The phrase comes from Conf.txt: it gets into the file as any sentence does.
    const QString phrase = opListField(anyPhrase);
    QString text;
    text.reserve(names.size() * (phrase.size() + 48) + 64);
    text += QStringLiteral("最終行 =\t") + QString::number(names.size()) + '\t' + QString(28, '-') +
            QChar(3) + kCrLf;
    for (int k = 0; k < names.size(); ++k) {
        const QString number = QString::number(k);
        // The loader undoes the file-name escaping: a name that looks escaped
        // ("amp&＆.png") is written so that it reads back as the file's name.
        const QString name = opListField(names[k]);
        text += number;
        text += '\t';
        text += name;
        text += QString(std::max<qsizetype>(0, 24 - 2 * name.size()), ' ');
        text += QStringLiteral("\t\t");
        text += number;
        text += '\t';
        text += phrase;
        text += kCrLf;
    }
    return text;
}

ImageListBuild buildListFromImages(const QString& folder, const QString& phrase) {
    ImageListBuild result;
    const QStringList names = imageFilesOf(folder, &result.skipped);
    for (const QString& s : result.skipped)
        writeLog(QStringLiteral("リストに入れられない名前の画像ファイル：") + visibleFileName(s));
    result.count = static_cast<int>(names.size());
    if (names.isEmpty()) return result; // the old list stays as it was

    const QString path = folder + kOpList;
    if (QFileInfo::exists(path)) {
        QString why;
        result.backup = keepBackupCopy(path, &why);
        if (result.backup.isEmpty()) {
            result.failed = true;
            result.error = QStringLiteral("元の OpList.txt を保存できません：") + why;
            return result;
        }
    }
    QString error;
    if (!writeWholeFileBytes(path, toShiftJis(imageListText(names, phrase)), &error)) {
        result.failed = true;
        result.error = error;
        if (!result.backup.isEmpty()) QFile::remove(result.backup); // nothing was replaced
        result.backup.clear();
    }
    return result;
}

void loadImageFiles(StepEditHost& host, Dialogs& dialogs, Notices& notices) {
    LongOperation building;
    const QString folder = captureFolder();
    QString question = QStringLiteral("下記フォルダのファイルを使って「") + kOpList +
                       QStringLiteral("」を作成します。") + kCrLf + kCrLf + QStringLiteral("　") +
                       folder + kCrLf + kCrLf;
    if (QFileInfo::exists(folder + kOpList))
        question += QStringLiteral("既に「") + kOpList +
                    QStringLiteral("」が存在しますが、上書き作成してよろしいですか？") + kCrLf +
                    kCrLf;
    question += QStringLiteral("実行して宜しいですか？");
    if (!dialogs.askOkCancel(question, kTitle)) return;

    notices.showProgress(QStringLiteral("管理ファイル作成中・・・"));
    const ImageListBuild build = buildListFromImages(folder, conf().dspPhraseDef);
    notices.showProgress(QString());

    QString skippedText;
    if (!build.skipped.isEmpty()) {
        skippedText = kCrLf + kCrLf + QStringLiteral("名前をリストに書けないため除いたファイル：");
        for (int i = 0; i < build.skipped.size() && i < 20; ++i)
            skippedText += kCrLf + QStringLiteral("　") + visibleFileName(build.skipped[i]);
        if (build.skipped.size() > 20)
            skippedText += kCrLf + QStringLiteral("　ほか %1 件").arg(build.skipped.size() - 20);
    }
    if (build.failed) {
        writeLog(QStringLiteral("管理ファイル作成失敗：") + build.error);
        dialogs.message(QStringLiteral("作成に失敗しました！") + kCrLf + kCrLf + build.error +
                            skippedText,
                        kTitle);
        return;
    }
    if (build.count == 0) {
        dialogs.message(QStringLiteral("画像ファイルがありません！") + skippedText, kTitle);
        return;
    }
    notices.showProgress(QStringLiteral("ファイルリロード中"));
    host.reloadList();
    notices.showProgress(QString());
    QString done = QStringLiteral("画像ファイルを読み込み「") + kOpList +
                   QStringLiteral("」を作成しました。") + kCrLf + kCrLf +
                   QStringLiteral("ファイル数=") + QString::number(build.count);
    if (!build.backup.isEmpty())
        done += kCrLf + kCrLf + QStringLiteral("元のファイルを保存しました：") +
                fileNameOf(build.backup);
    dialogs.message(done + skippedText, kTitle);
}

} // namespace klavoro

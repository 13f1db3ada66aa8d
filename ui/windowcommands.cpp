// Commands of the window itself: hot-key hint, version, the debug log.
#include "capture/encoders.h"
#include "record/runmode.h"
#include "store/capturefolder.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/thumbnailstrip.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QUrl>

namespace klavoro {

QString hotKeyHintText(const Settings& s) {
    const QList<QPair<QString, QString>> keys = {
        {s.hotkey0, QStringLiteral("キャプチャー一時停止")},
        {s.hotkey1, QStringLiteral("手動キャプチャー")},
        {s.hotkey2, QStringLiteral("範囲選択 開始/終了")},
        {s.hotkey3, QStringLiteral("記録終了")},
        {s.hotkey4, QStringLiteral("本体を前面/背面")},
    };
    QString text;
    for (const auto& [key, action] : keys) {
        if (key.trimmed().isEmpty()) continue;
        text += QStringLiteral("Ctrl+Shift+") + key.trimmed().left(1) + QStringLiteral("\t") +
                action + QStringLiteral("\r\n");
    }
    return text.isEmpty() ? QStringLiteral("ホットキーは設定されていません。") : text;
}

void registerWindowCommands(frmKlavoro& w, CommandMap& map) {
    auto showHint = [&w] {
        QMessageBox::information(&w, QStringLiteral("ホットキー一覧"), hotKeyHintText(conf()));
    };
    map.add(QStringLiteral("mnuHint"), showHint);
    map.add(QStringLiteral("mnuVersion"), [&w] {
        QMessageBox::about(&w, QStringLiteral("バージョン情報"),
                           QStringLiteral("クラヴォロ ") + versionText() + QStringLiteral("\n\n") +
                               imageLibraryVersions());
    });
    map.add(QStringLiteral("mnuDebugLog"), [] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(programFolder() + QStringLiteral("log.txt")));
    });
    map.add(QStringLiteral("mnuThumbListCheckAll_0"), [&w] { w.picList->setAllMarks(false); });
    map.add(QStringLiteral("mnuThumbListCheckAll_1"), [&w] { w.picList->setAllMarks(true); });
    map.add(QStringLiteral("mnuThumbListSize_0"), [&w] { w.picList->zoom(true, w.dialogs()); });
    map.add(QStringLiteral("mnuThumbListSize_1"), [&w] { w.picList->zoom(false, w.dialogs()); });
    // Stop ends playback (which watches the run mode); where recording is
    // possible its family replaces these with its own stop.
    for (const char* name : {"cmdStop", "mnuStop"})
        map.add(QString::fromLatin1(name), [] { runMode().set(kRunIdle); });
    // The debug menu shows only after a double click on the step number.
    if (QMenu* debug = w.popupMenu(QStringLiteral("mnuDebugTop")))
        debug->menuAction()->setVisible(false);
}

} // namespace klavoro

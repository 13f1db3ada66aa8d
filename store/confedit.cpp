#include "store/confedit.h"

#include "store/dialogs.h"
#include "store/editwait.h"
#include "store/logs.h"

namespace klavoro {

ConfLoadReport mnuConfOpen(ConfFile& file, Settings& settings, Desktop& desktop, Shell& shell,
                           Dialogs& dialogs, const EditWaitHooks& waitHooks,
                           const ConfEditHooks& hooks) {
    // The editor shows what is in memory; a failed save leaves the old file to edit.
    if (file.save(settings) != 0) writeLog(QStringLiteral("設定値保存エラー"));
    if (hooks.minimizeMainWindow) hooks.minimizeMainWindow();
    const QString message = editAndWait(file.path(), 4, desktop, shell, waitHooks);
    if (!message.isEmpty()) dialogs.message(message, QStringLiteral("編集不可"));
    if (hooks.restoreMainWindow) hooks.restoreMainWindow();

    const ConfLoadReport report = file.load(settings);
    if (hooks.reapplySettings) hooks.reapplySettings();
    if (!report.errors.isEmpty())
        dialogs.message(
            QStringLiteral(
                "次の行の値は使えないため読み飛ばしました。その設定は既定値のままです。\r\n\r\n") +
                report.errors.join(QStringLiteral("\r\n")),
            QStringLiteral("設定値読込エラー"));
    return report;
}

} // namespace klavoro

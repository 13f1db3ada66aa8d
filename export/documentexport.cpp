#include "export/wordexport.h"

#include "export/documentsteps.h"
#include "export/docxwriter.h"
#include "platform/shell.h"
#include "store/dialogs.h"
#include "store/logs.h"

#include <QDir>

namespace klavoro {

QString exportWordDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                           Shell* shell) {
    host.showProgress(QStringLiteral("処理中...."));
    DocxWriter writer(host, settings);
    const QString path = writer.writeNew();
    host.showProgress(QString());
    if (path.isEmpty()) {
        writeLog(QStringLiteral("MSワード文書作成: ") + writer.error());
        dialogs.message(QStringLiteral("MSワード文書を保存できません！") + QStringLiteral("\r\n") +
                            writer.error(),
                        kWordExportTitle);
        return {};
    }
    if (!shell || !shell->hasProgramFor(path) || !shell->open(path)) {
        dialogs.message(QStringLiteral("MSワード文書を作成しました。") + QStringLiteral("\r\n") +
                            QStringLiteral("開くプログラムが見つからないため、開けませんでした。") +
                            QStringLiteral("\r\n\r\n") + QStringLiteral("ファイル：") +
                            QDir::toNativeSeparators(path),
                        kWordExportTitle);
    }
    return path;
}

} // namespace klavoro

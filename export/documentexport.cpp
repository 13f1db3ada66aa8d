#include "export/documentexport.h"

#include "export/documentsteps.h"
#include "export/docxwriter.h"
#include "export/markdownwriter.h"
#include "export/pdfwriter.h"
#include "platform/shell.h"
#include "store/dialogs.h"
#include "store/logs.h"

#include <QDir>

#include <functional>

namespace klavoro {
namespace {

// What one kind of document is called in its messages.
struct Kind {
    QString title;   // of the message boxes
    QString noun;    // "MSワード文書", ...
    QString refused; // title for an empty list; empty: an empty list is written
};

QString exportDocument(const Kind& kind, ExportHost& host, Dialogs& dialogs, Shell* shell,
                       const std::function<QString(QString* error)>& writeNew) {
    if (!kind.refused.isEmpty() && host.stepCount() == 0) {
        dialogs.message(QStringLiteral("データがありません！"), kind.refused);
        return {};
    }
    host.showProgress(QStringLiteral("処理中...."));
    QString error;
    const QString path = writeNew(&error);
    host.showProgress(QString());
    if (path.isEmpty()) {
        writeLog(kind.title + QStringLiteral(": ") + error);
        dialogs.message(kind.noun + QStringLiteral("を保存できません！") + QStringLiteral("\r\n") +
                            error,
                        kind.title);
        return {};
    }
    if (!shell || !shell->hasProgramFor(path) || !shell->open(path)) {
        dialogs.message(kind.noun + QStringLiteral("を作成しました。") + QStringLiteral("\r\n") +
                            QStringLiteral("開くプログラムが見つからないため、開けませんでした。") +
                            QStringLiteral("\r\n\r\n") + QStringLiteral("ファイル：") +
                            QDir::toNativeSeparators(path),
                        kind.title);
    }
    return path;
}

template <typename Writer>
std::function<QString(QString*)> writerOf(ExportHost& host, const Settings& settings) {
    return [&host, &settings](QString* error) {
        Writer writer(host, settings);
        const QString path = writer.writeNew();
        *error = writer.error();
        return path;
    };
}

} // namespace

QString exportWordDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                           Shell* shell) {
    return exportDocument({kWordExportTitle, QStringLiteral("MSワード文書"), QString()}, host,
                          dialogs, shell, writerOf<DocxWriter>(host, settings));
}

QString exportPdfDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                          Shell* shell) {
    return exportDocument(
        {kPdfExportTitle, QStringLiteral("PDFファイル"), QStringLiteral("PDF作成不可")}, host,
        dialogs, shell, writerOf<PdfWriter>(host, settings));
}

QString exportMarkdownDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                               Shell* shell) {
    return exportDocument({kMarkdownExportTitle, QStringLiteral("Markdownファイル"),
                           QStringLiteral("Markdown作成不可")},
                          host, dialogs, shell, writerOf<MarkdownWriter>(host, settings));
}

} // namespace klavoro

#pragma once

#include <QString>

namespace klavoro {

class Dialogs;
class ExportHost;
class Shell;
struct Settings;

inline const QString kWordExportTitle = QStringLiteral("MSワード文書作成");
inline const QString kPdfExportTitle = QStringLiteral("PDFファイル作成");
inline const QString kMarkdownExportTitle = QStringLiteral("Markdownファイル作成");

// The document commands: each writes a new file into the capture folder
// (never replacing one) and opens it with the desktop's program for it
// (the PDF with the document viewer). Without such a program the user is
// told where the file is. Each gives the path written, or the empty text.

// The Word document; an empty list gives a document with the title alone.
QString exportWordDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                           Shell* shell);
// The PDF; an empty list is refused ("データがありません！").
QString exportPdfDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                          Shell* shell);
// The Markdown file; an empty list is refused.
QString exportMarkdownDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                               Shell* shell);

} // namespace klavoro

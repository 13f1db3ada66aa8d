#pragma once

#include <QString>

namespace klavoro {

class Dialogs;
class ExportHost;
class Shell;
struct Settings;

inline const QString kWordExportTitle = QStringLiteral("MSワード文書作成");

// The Word document command: writes a new document into the capture folder
// and opens it with the desktop's program for it. Without such a program the
// user is told where the file is. Gives the path written, or the empty text.
QString exportWordDocument(ExportHost& host, const Settings& settings, Dialogs& dialogs,
                           Shell* shell);

} // namespace klavoro

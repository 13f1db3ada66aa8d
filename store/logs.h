#pragma once

#include <QString>

namespace klavoro {

// log.txt in the program folder: "<16-digit stamp>: <message>" CR LF per entry.
// With `reset` the file is emptied first; an empty message writes nothing.
void writeLog(const QString& message, bool reset = false);

// log_exe.txt: stamp, ": ", CR LF, 44 hyphens, CR LF, the message, CR LF.
void writeExeLog(const QString& message, bool reset = false);

// The entry texts, without the file (for tests and for callers that need them).
QString logEntry(const QString& stamp, const QString& message);
QString exeLogEntry(const QString& stamp, const QString& message);

} // namespace klavoro

#pragma once

#include <QByteArray>
#include <QString>

// File operations whose sound form differs between POSIX systems and Windows.
namespace klavoro {

// "<number> <text>" for a C library error number.
QString errnoText(int err);

// Replaces the file at `path` by `bytes` in one step: a temporary
// ".NAME.tmpXXXXXX" beside it (letters and digits), renamed over it. A
// write-protected file stays as it is. With `sync` the data and the folder
// reach the disk before it returns. False with the reason in *error.
bool replaceFileWith(const QString& path, const QByteArray& bytes, bool sync, QString* error);

// A rename that never copies (a file that cannot leave a read-only folder
// must not be duplicated); another volume still gets Qt's copy. False when
// `to` exists.
bool renameWithoutCopy(const QString& from, const QString& to);

// Renames `from` over `to`, replacing a file there. False on failure.
bool renameOver(const QString& from, const QString& to);

// Makes one folder; an existing folder is fine. False with the reason.
bool makeFolder(const QString& path, QString* error);

} // namespace klavoro

#pragma once

#include <QByteArray>
#include <QString>

namespace klavoro {

class Dialogs;

// Reads a whole text file in the character set named by `charsetLabel`
// ("shift-jis", "utf-8" or "unicode"). A missing or empty file gives the empty
// text silently. A read error is shown under the title "MyFileWrite" (or
// logged when `dialogs` is null), gives the empty text and clears *ok.
QString readTextFile(const QString& path, const QString& charsetLabel, Dialogs* dialogs,
                     bool* ok = nullptr, QString* error = nullptr);
// The same without decoding: the file's bytes, reported the same way.
QByteArray readFileBytes(const QString& path, Dialogs* dialogs, bool* ok = nullptr,
                         QString* error = nullptr);

// Writes the whole file in Shift-JIS, up to 5 attempts 200 ms apart, letting
// events run while it waits. Each attempt writes a temporary file in the same
// folder and renames it over the old one, so the file on disk is always either
// the old or the new content. Returns false when every attempt failed; the
// old file is then untouched. The caller creates the folder.
bool writeWholeFile(const QString& path, const QString& text, QString* error = nullptr);
bool writeWholeFileBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// The name pattern of the temporary files the writers above make beside
// `fileName` (".OpList.txt.tmpXXXXXX"): true when `name` is one of them.
bool isTemporaryOf(const QString& name, const QString& fileName);

// Removes the temporaries that an interrupted write of `fileName` left in
// `folder`; with `minAgeSeconds`, only those not touched for that long, so that
// a write still under way on another thread keeps its file. Never touches a
// name that does not follow the writers' pattern. Returns how many went.
int removeLeftTemporaries(const QString& folder, const QString& fileName, int minAgeSeconds = 0);
// The same for every image file name ("*.jpg", "*.png", ...) of the folder.
int removeLeftImageTemporaries(const QString& folder, int minAgeSeconds);

// Copies the file to path + "." + 16-digit time + ".bak" (a "-2", "-3" ...
// before ".bak" when that name is taken). The backup's path, or empty when the
// copy failed (*error says why).
QString keepBackupCopy(const QString& path, QString* error = nullptr);

// One attempt, as above but without waiting for the disk: a file under a new
// name that a later syncFileToDisk makes durable. Runs on any thread.
bool writeNewFileBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// Waits until the file's content is on the disk. False when it cannot be opened.
bool syncFileToDisk(const QString& path);

// Appends the text and CR LF in Shift-JIS, creating the file if missing.
bool appendLine(const QString& path, const QString& text);

// Creates the file or empties an existing one; errors are ignored.
void createEmptyFile(const QString& path);

// Deletes every file matching the name pattern ("*" and "?" allowed in the
// file-name part), then waits up to 5 s until none matches. Errors are ignored.
void deleteFileAndWait(const QString& pattern);

// True when `name` matches the pattern made of "*", "?" and plain characters.
bool wildcardMatch(const QString& pattern, const QString& name);

// Deletes a folder with everything in it; errors are ignored.
void deleteFolder(const QString& path);

// Copies a folder tree, overwriting existing files: 0 on success, -1 on failure.
int copyFolder(const QString& source, const QString& destination);

// Creates a folder with all missing parents; false when that fails.
bool createFolderTree(const QString& path);

} // namespace klavoro

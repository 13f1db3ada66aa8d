#pragma once

#include <QString>

namespace klavoro {

// Path operations on text. The separator is '/'; none of them touches the disk
// except where a comment says so.

// Removes surrounding blanks, then pairs of surrounding double quotes (and the
// blanks inside them) as long as the text both begins and ends with one.
QString unquote(const QString& text);

// An absolute path: "/..." (and on Windows "C:/..."), separators already '/'.
bool isRootedPath(const QString& path);

// Resolves a path against a base folder (default: the capture base folder).
// Looks at the disk only to see whether the base is an existing folder.
QString resolvePath(const QString& path, const QString& base = QString());

// The path relative to a base folder (default: the capture base folder), without a
// trailing separator; a path that is not absolute like the base comes back unchanged.
QString relativePath(const QString& path, const QString& base = QString());

// The text after the last '.', when that dot follows the last '/' and '\';
// an extension of more than 4 characters counts as none.
QString extensionOf(const QString& path);
QString withoutExtension(const QString& path);

// The text before the last '/' (one pair of surrounding quotes removed first);
// unchanged when there is no '/'.
QString parentFolder(const QString& path);

// The text after the last '/'; the whole text when there is none.
QString fileNameOf(const QString& path);

// Appends the separator when the text lacks one.
QString withTrailingSeparator(const QString& path);

} // namespace klavoro

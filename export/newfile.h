#pragma once

#include <QString>

#include <functional>

namespace klavoro {

// Moves `temporary` to the first free name `folder` + base + "." + extension,
// base + "(2)." + extension, ... without ever replacing a file. Gives the
// path taken, or the empty text.
QString moveToNewName(const QString& temporary, const QString& folder, const QString& base,
                      const QString& extension);

// Writes a document into `folder` under the first free name of `base` and
// `extension`: `write` fills a hidden temporary file, which then takes the
// name. Gives the path, or the empty text with `error` set; nothing is left
// behind on failure.
using DocumentWrite = std::function<bool(const QString& path, QString* error)>;
QString writeNewDocument(const QString& folder, const QString& base, const QString& extension,
                         const DocumentWrite& write, QString* error);

} // namespace klavoro

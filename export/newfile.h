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

class ExportHost;
struct Settings;

// A document of the steps, written into the capture folder under a name no
// file has yet ("操作説明." + extension, "操作説明(2)." + extension, ...).
class DocumentWriter {
public:
    DocumentWriter(ExportHost& host, const Settings& settings, QString extension);
    virtual ~DocumentWriter() = default;

    // The path written, or the empty text with error() set.
    QString writeNew();
    // Writes to `path`, replacing it (for callers that chose the name).
    virtual bool writeTo(const QString& path) = 0;
    QString error() const { return m_error; }

protected:
    ExportHost& m_host;
    const Settings& m_settings;
    QString m_error;

private:
    QString m_extension;
};

} // namespace klavoro

#pragma once

#include <QString>

namespace klavoro {

class ExportHost;
struct Settings;

// Writes the steps as a word-processing document: per step a heading in the
// style of `wdoc style heading`, numbered by the word processor through the
// numbering linked to that style, then the picture inline, indented by
// `wdoc indent` characters and, with `wdoc set hyperlink` 1, linked to its
// file. Text files and missing files give the heading alone.
class DocxWriter {
public:
    DocxWriter(ExportHost& host, const Settings& settings);

    // Writes into the capture folder under a name no file has yet
    // ("操作説明.docx", "操作説明(2).docx", ...). Gives the path, or the empty
    // text with error() set.
    QString writeNew();
    // Writes to `path`, replacing it (for callers that chose the name).
    bool writeTo(const QString& path);

    QString error() const { return m_error; }

private:
    ExportHost& m_host;
    const Settings& m_settings;
    QString m_error;
};

// Moves `temporary` to the first free name `folder` + base + ".docx",
// base + "(2).docx", ... without ever replacing a file. Gives the name taken,
// or the empty text.
QString moveToNewName(const QString& temporary, const QString& folder, const QString& base,
                      const QString& extension);

} // namespace klavoro

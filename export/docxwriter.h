#pragma once

#include <QString>

namespace klavoro {

class ExportHost;
struct Settings;

// Writes the steps as a word-processing document: the title (the capture
// folder's name) and the date, then per step a heading in the style of
// `wdoc style heading` with the step's number text and sentence, kept on the
// page of its picture, which follows at its natural size (at most the text
// width), indented by `wdoc indent` characters, framed, described by the
// sentence. Every picture is stored in the document; nothing links outside
// it. Notes (.txt) and missing files give the heading alone.
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

} // namespace klavoro

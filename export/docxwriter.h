#pragma once

#include "export/newfile.h"

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
class DocxWriter : public DocumentWriter {
public:
    DocxWriter(ExportHost& host, const Settings& settings);

    bool writeTo(const QString& path) override;
};

} // namespace klavoro

#pragma once

#include "export/newfile.h"
#include <QByteArray>

#include <QString>

namespace klavoro {

class ExportHost;
class ManualSteps;
struct Settings;

// Text that Markdown shows as it is: the characters that would start
// emphasis, links, code, HTML, entities or a table cell are escaped.
QString markdownInline(const QString& text);
// A line of a paragraph: as above, and a start that would make it a list
// item, a quote, a heading or a rule is escaped too.
QString markdownLine(const QString& text);

// The manual as Markdown: "# title", the date, and per step a "##" heading
// with the number text and the first line of the sentence, its further lines
// as a paragraph, and the picture as an image link relative to the capture
// folder (percent-encoded), described by the sentence. Lines end in LF.
QString markdownText(const ManualSteps& steps, const QString& title, const QString& date,
                     ExportHost* progress = nullptr);

// Writes one UTF-8 .md file into the capture folder under a name no file has
// yet ("操作説明.md", "操作説明(2).md", ...).
class MarkdownWriter : public DocumentWriter {
public:
    MarkdownWriter(ExportHost& host, const Settings& settings);
    bool writeTo(const QString& path) override;
};

} // namespace klavoro

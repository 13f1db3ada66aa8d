#pragma once

#include <QString>
#include <QStringList>

namespace klavoro {

// The text of OpList.txt both ways, without the disk: what the loader makes of
// a file's text and what the writer makes of the list. Loading what the writer
// wrote gives the same lines again.

struct OpListRead {
    bool badNumber = false; // the header's number is not a number or negative
    QString numberText;     // the header's number as found
    int current = 0;        // the current step number
    QStringList lines;      // step lines as the list holds them, step 1 first
    int lastIndex = 0;      // the last line index the file offers (the status total)
    int ignoredLines = 0;   // non-empty lines after the first empty one or without line end
    int markedLines = 0;    // step lines that held the header mark, which was dropped
    bool hasLineEnd = false;
};

// Splits at the header mark 0x03 and at CR LF as the loader does; each step is
// built anew from its fields 1, 4, 5 and 6 with the escaping undone.
// A file whose first line is the header keeps it even when a sentence carried
// a second mark into the file (older versions let one through): the extra
// marks are dropped instead of turning the header into two more steps.
OpListRead parseOpListText(const QString& content);

// The file text for these step lines: header with `currentText` (a text that
// is not a number the loader takes is written as 0), separator, one line per
// step. A field that the loader's unescaping would change is written escaped,
// and no line carries a header mark or a line end.
QString opListFileText(const QStringList& lines, const QString& currentText);

// One field as the writer puts it into the file.
QString opListField(const QString& value);

} // namespace klavoro

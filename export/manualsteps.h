#pragma once

#include "export/imagefileindex.h"

#include <QDate>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

namespace klavoro {

class ExportHost;
class StepList;
struct Settings;

// One step as every export says it: HTML, rich text, Word, PDF and Markdown
// read it here, so they never disagree about a number, a sentence or a file.
struct ManualStep {
    int number = 0;     // the step's place in the list, from 1
    QString numberText; // by `no format`, `no period`, `no wide`, `no char`
    // The sentence as the reader sees it: split at its stored line breaks
    // (code 4); at least one line.
    QStringList lines;
    QString imageName; // as stored in the step line
    // The step's file in the capture folder (name only), found as the HTML
    // manual finds it: the escaped name first, then the name as stored.
    QString fileName;
    QString filePath;      // folder + fileName; empty when none was found
    bool textFile = false; // the file is a .txt note, not a picture

    // Filled only by ManualSteps::withPicture: the picture's kind and pixel
    // size from its header. None for notes, missing files and non-pictures.
    enum class Picture { None, Png, Jpeg, Other } picture = Picture::None;
    QSize size;

    // The sentence on one line: the pictures' alternative text.
    QString altText() const { return lines.join(QLatin1Char(' ')); }
    bool hasPicture() const { return picture != Picture::None; }
};

// The steps of a capture folder, read through one listing of the folder.
class ManualSteps {
public:
    using LineAt = std::function<QString(int)>;
    // `line(n)` gives step line n (1-based) of `count`; `folder` ends with a separator.
    ManualSteps(int count, LineAt line, const QString& folder, const Settings& settings);
    static ManualSteps of(const ExportHost& host, const Settings& settings);
    static ManualSteps of(const StepList& steps, const QString& folder, const Settings& settings);

    int count() const { return m_count; }
    const QString& folder() const { return m_folder; }
    // Number, sentence and file of step n.
    ManualStep step(int n) const;
    // The same with the picture's kind and size read from its header.
    ManualStep withPicture(int n) const;

private:
    int m_count;
    LineAt m_line;
    QString m_folder;
    const Settings& m_settings;
    ImageFileIndex m_files;
};

// Reads the picture kind and size of `step.filePath` into `step`.
void probePicture(ManualStep& step);

// The title every document carries: the capture folder's name (for the
// folder of unmarked copies, its parent's name with "(NO_RECT)").
QString manualTitle(const QString& folder);
// The date under the title, "2026年12月6日".
QString manualDate(const QDate& date = QDate::currentDate());

} // namespace klavoro

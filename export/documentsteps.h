#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace klavoro {

class Notices;
class StepList;

// What the rich-text and Word exports read from the main window.
class ExportHost {
public:
    virtual ~ExportHost() = default;
    virtual int stepCount() const = 0;
    // Step line n, 1-based.
    virtual QString stepLine(int n) const = 0;
    // With a trailing separator.
    virtual QString captureFolder() const = 0;
    // Shows a progress text (the empty text closes the window) and lets
    // pending events run.
    virtual void showProgress(const QString& text) = 0;
};

// The host over the main window's list, a folder and its notice windows.
class StepListExportHost : public ExportHost {
public:
    StepListExportHost(const StepList& steps, QString folder, Notices& notices);
    int stepCount() const override;
    QString stepLine(int n) const override;
    QString captureFolder() const override { return m_folder; }
    void showProgress(const QString& text) override;

private:
    const StepList& m_steps;
    QString m_folder;
    Notices& m_notices;
};

// Progress is reported when the step number is a multiple of this: every step
// below 100 steps, every 10th up to 999, every 100th up to 9999, ...
int progressInterval(int stepCount);

// One step as the documents show it.
struct DocumentStep {
    // The sentence split at its stored line breaks (code 4); at least one line.
    QStringList lines;
    // The step's file in the capture folder; empty when none was found.
    QString file;
    // Kind of the file's picture; None for text files, missing files and files
    // that are not pictures (those get a heading without a picture).
    enum class Picture { None, Png, Jpeg, Other } picture = Picture::None;
    // Pixel size of the picture, from its header.
    QSize size;
};

// Reads step line `line` against the capture folder `folder`.
DocumentStep documentStep(const QString& line, const QString& folder);

// Fits a picture of `size` into `maxWidth` keeping its shape; a limit of 0 or
// less leaves it as it is.
QSize limitWidth(QSize size, int maxWidth);

} // namespace klavoro

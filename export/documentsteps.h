#pragma once

#include <QSize>
#include <QString>

namespace klavoro {

class Notices;
class StepList;

// What the rich-text, Word, PDF and Markdown exports read from the main window.
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

// Fits a picture of `size` into `maxWidth` keeping its shape; a limit of 0 or
// less leaves it as it is.
QSize limitWidth(QSize size, int maxWidth);

} // namespace klavoro

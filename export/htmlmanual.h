#pragma once

#include <QString>

namespace klavoro {

class Dialogs;
class StepList;
struct Settings;

// What the writer of the HTML manual needs from the window that runs it.
class HtmlManualHost {
public:
    virtual ~HtmlManualHost() = default;
    // The progress window; the empty text closes it, `displayMs` > 0 closes it by itself.
    virtual void showProgress(const QString& text, int displayMs = 0) = 0;
    // The status line (the thumbnail run reports there).
    virtual void setStatus(const QString& text) = 0;
    // Lets pending window events run, the dialog's キャンセル among them.
    virtual void letEventsRun() = 0;
    // The dialog's cancel flag.
    virtual bool cancelRequested() const = 0;
    // Opens the written page with the desktop's browser.
    virtual void openPage(const QString& path) = 0;
};

struct HtmlManualPaths {
    QString captureFolder; // with a trailing separator
    QString partsFolder;   // the shipped parts/js
};

enum class HtmlResult { Written, NoSteps, Cancelled, WriteFailed };

// "HTML作成中・・・" + remaining + CR LF, shown for the first step and whenever
// the remaining count is a multiple of 50.
bool isHtmlProgressPoint(int step, int count);
QString htmlProgressText(int step, int count);

// The step blocks of the page in step order; steps whose image is a .txt file
// are left out (the others keep their numbers). Reports at each progress point
// and stops (giving false) when `host` asks to cancel.
bool buildHtmlBody(const StepList& steps, const Settings& settings, const QString& captureFolder,
                   bool thumbnails, HtmlManualHost& host, QString* body);

// Writes index.htm into the capture folder (and the copy of parts/js beside
// it), then opens it. In thumbnail style the missing thumbnails are made first.
HtmlResult writeHtmlManual(const StepList& steps, const Settings& settings,
                           const HtmlManualPaths& paths, bool thumbnails, Dialogs& dialogs,
                           HtmlManualHost& host);

// Where the page's files come from: the shipped parts/js, or for an installed
// copy the user's own parts/js in the settings folder when there is one.
QString htmlPartsFolder();

} // namespace klavoro

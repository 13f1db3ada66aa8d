#pragma once

#include <QString>

namespace klavoro {

// The transient notice windows: the progress window and the pop-up in the
// screen corner. Both stay silent while `no progress` is 1; an empty progress
// text closes the progress window even then.
class Notices {
public:
    virtual ~Notices() = default;
    // `displayMs` > 0 closes the window by itself after that time; `centred`
    // places it over the main window. Lets pending events run, so the text
    // is painted at once.
    virtual void showProgress(const QString& text, int displayMs = 0, bool centred = false) = 0;
    // `colour` is blue-green-red; -1 is the default blue.
    virtual void showPopup(const QString& text, qint32 colour = -1) = 0;
    virtual void closePopup() = 0;
};

// For tests and for code that runs without windows.
class SilentNotices : public Notices {
public:
    void showProgress(const QString& text, int = 0, bool = false) override { lastProgress = text; }
    void showPopup(const QString& text, qint32 = -1) override { lastPopup = text; }
    void closePopup() override {}
    QString lastProgress, lastPopup;
};

} // namespace klavoro

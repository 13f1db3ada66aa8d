#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace klavoro {

class Dialogs;
class StepList;

// What the loader shows in the main window. Every call has a do-nothing
// default so that a host implements only what it has.
class OpListHost {
public:
    virtual ~OpListHost() = default;
    // The text of `txtNo`: saved as the current step number.
    virtual QString currentStepText() const { return {}; }
    // Progress window centred on the main window; an empty text closes it.
    virtual void showProgress(const QString& /*text*/) {}
    virtual void setCaption(const QString& /*caption*/) {}
    virtual void setStatus(const QString& /*status*/) {}
    struct Detail {
        QString no, fileName, ext, ctrl, event, pos;
    };
    virtual void setDetailFields(const Detail& /*detail*/) {}
    // Clear the selection, then select and show step n.
    virtual void selectStep(int /*n*/) {}
    virtual void setListScrollMax(int /*max*/) {}
    virtual void setImageSizePanelVisible(bool /*visible*/) {}
    virtual void setThumbnailPanelVisible(bool /*visible*/) {}
    virtual void bringToFront() {}
    // A step was appended or replaced: create its thumbnail tile when asked,
    // and scroll the strip to it unless `keepStrip`.
    virtual void stepAdded(int /*n*/, bool /*createTile*/, bool /*keepStrip*/) {}
};

// Temporaries of image files younger than this may belong to a write still
// under way on the image thread.
constexpr int kImageTemporaryAge = 60;

// The operation list: the step list of the main window and its file
// OpList.txt in the capture folder.
class OperationList {
public:
    OperationList(StepList& list, OpListHost& host, Dialogs& dialogs);

    // Appends step n when n is past the end, otherwise replaces step n (only
    // when its image file is found). 0 on success.
    int addStep(int n, const QString& imageName, const QString& message, const QString& extension,
                const QString& checkMark, bool createTile, bool keepStrip);

    // Writes OpList.txt (and its NO_RECT copy when `no rect file` is 1).
    // False when a write failed or the load-failed flag refused it.
    bool save();

    // save() in two halves, so that the writing can happen on another thread:
    // the text of the list as it is now and where it goes (empty paths for an
    // empty list), or nothing when saving is refused (logged as save() does).
    // Clears the last added name and the message-edited flag like save().
    struct PreparedSave {
        QString text;
        QStringList paths;
    };
    std::optional<PreparedSave> prepareSave();
    // Thread-safe. False when a write failed; the first reason goes to *error.
    static bool writePrepared(const PreparedSave& prepared, QString* error = nullptr);

    // Loads OpList.txt of the capture folder into the list. False on failure.
    // Removes first what interrupted writes left in the folder.
    bool load();

    bool loadFailed() const { return m_loadFailed; }
    QString lastAddedImageName() const { return m_lastAdded; }
    // Set by the message editor; the writer clears it.
    bool messageEdited = false;

    // The OpList.txt text for the current list (empty list: empty text).
    QString buildFileText() const;

    // The status text: the number right-aligned in three characters, "/", the total.
    static QString progressText(int n, int total);

private:
    void reportLoadFailure(const QString& ownText, const QString& error, const QString& path);
    void replaceStep(int n, const QString& line, bool createTile, bool keepStrip);
    void keepOriginal(const QString& path, int ignoredLines, int markedLines);

    StepList& m_list;
    OpListHost& m_host;
    Dialogs& m_dialogs;
    bool m_loadFailed = false;
    bool m_loading = false; // a save meanwhile would write a list loaded in part
    QString m_lastAdded;
};

} // namespace klavoro

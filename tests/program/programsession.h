#pragma once

#include "tests/desktop/programrun.h"
#include "tests/program/stepfolder.h"
#include "tests/program/uidriver.h"

#include <functional>
#include <memory>
#include <ostream>

// Readable QStrings in the messages of failed expectations.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace klavoro::test {

// How a message box is answered: by the button a user clicks.
enum class Answer { Ok, Cancel, Yes, No };

// The program started on a program folder whose capture folder "data" holds
// a prepared recording, and the hand that drives it.
class ProgramSession {
public:
    struct Options {
        int steps = 30;
        QList<int> checked; // steps that carry the check mark
        QStringList conf;   // extra Conf.txt lines
        QStringList args;   // command line
        // Makes the capture folder instead of makeStepFolder (`steps` still
        // says how many it holds).
        std::function<void(const QString& folder)> makeFolder;
        // False: back as soon as the main window exists, the list perhaps
        // still loading; nothing is clicked.
        bool settle = true;
        // False: the list's rows are not counted through the accessibility
        // tree, which reads every row (slow on long lists); the window shows
        // only after the list has loaded anyway.
        bool countRows = true;
    };
    static Options checked(QList<int> steps) {
        Options o;
        o.checked = std::move(steps);
        return o;
    }
    static Options conf(QStringList lines) {
        Options o;
        o.conf = std::move(lines);
        return o;
    }
    static Options args(QStringList args) {
        Options o;
        o.args = std::move(args);
        return o;
    }
    ProgramSession();
    explicit ProgramSession(const Options& options);
    ~ProgramSession();

    // False (with the reason in the test's log) when the window never showed.
    bool ready() const { return m_main.id != 0; }
    ProgramRun& run() { return m_run; }
    UiDriver& ui() { return *m_ui; }
    QString home() const { return m_run.home(); }
    // The capture folder, with '/'.
    QString folder() const { return m_run.home() + QStringLiteral("/data/"); }
    WindowId mainWindow() { return mainWindowNow().id; }
    // The commands this run ran, but the input timer that start-up arms.
    QStringList ran() const;
    // The main window's title now ("" when it has none).
    QString title();
    // The program's opened documents and folders (the shell stand-in's log).
    QStringList opened() const;

    // The elements of the main window now.
    QList<UiElement> mainElements(bool items = false);
    // The step list and the views, as they stand on the screen now.
    UiElement stepList();
    UiElement viewer();
    UiElement strip();
    UiElement button(const QString& caption);
    // The row of the step list whose text holds `part` (a step's sentence).
    UiElement row(const QString& part);
    UiElement row(int step) { return row(stepSentence(step)); }
    // Where to click on the step's row (rows are wider than the list).
    QPoint rowPoint(int step);
    // Number of rows the step list shows.
    int rowCount();
    // Clicks the step's row; true once it is the selected one.
    bool select(int step);
    bool select(const QString& part);

    // Waits for a window of the program with this title and answers it.
    bool answer(const QString& title, Answer answer, int ms = 8000);
    // Waits for the dialog titled `title`, returns its text (labels joined).
    QString dialogText(const QString& title, int ms = 8000);
    bool hasWindow(const QString& title, int ms = 0);

    // In the file or folder dialog titled `title` (any dialog when empty):
    // types `path` into its name box and presses Enter.
    bool fileDialog(const QString& title, const QString& path);
    // `entry` of the main window's menu `menu`.
    bool menu(const QString& menu, const QString& entry) {
        return m_ui->menu(menu, entry, title());
    }
    // A pop-up menu of the main window ("mnuList", "mnuPicList", ...) as the
    // program's menu table builds it.
    static PopupMenu popupMenu(const char* name);
    // Right click on the picture and `entry` of its menu.
    bool pictureMenu(const QString& entry);
    // Right click on the first thumbnail shown and `entry` of its menu.
    bool stripMenu(const QString& entry);
    // Right click on the selected row of the step list and `entry` of its menu.
    bool listMenu(const QString& entry, const QString& submenu = QString());

    // Closes the program through its window and waits until it ended.
    bool close(int ms = 15000);

private:
    void start(const Options& options);
    ClientWindow mainWindowNow();

    ProgramRun m_run;
    std::unique_ptr<UiDriver> m_ui;
    ClientWindow m_main;
};

} // namespace klavoro::test

#include "tests/program/programsession.h"

#include "tests/desktop/fixtureapp.h"
#include "ui/mainmenus.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace klavoro::test {

namespace {

bool startsWithAny(const QString& name, std::initializer_list<const char*> captions) {
    for (const char* c : captions)
        if (name.startsWith(QString::fromUtf8(c))) return true;
    return false;
}

} // namespace

ProgramSession::ProgramSession() {
    start(Options());
}

ProgramSession::ProgramSession(const Options& options) {
    start(options);
}

void ProgramSession::start(const Options& options) {
    writeConf(m_run.home(), options.conf);
    if (options.makeFolder)
        options.makeFolder(folder());
    else if (options.steps > 0)
        makeStepFolder(folder(), options.steps, options.checked);
    if (!m_run.start(options.args)) {
        ADD_FAILURE() << "the program did not start";
        return;
    }
    // Unsettled: the window as soon as it exists, while the list may still load.
    m_main = options.settle ? m_run.waitForMainWindow(20000)
                            : m_run.waitForWindow(QStringLiteral("クラヴォロ Ver"), 20000,
                                                  ProgramRun::Until::Exists);
    if (!m_main.id) {
        ADD_FAILURE() << "no main window";
        return;
    }
    m_ui = std::make_unique<UiDriver>(m_run.process().processId());
    if (!options.settle) return;
    // The window is placed again once the window manager has framed it.
    QRect frame;
    int same = 0;
    waitUntil(
        [&] {
            const UiElement f = m_ui->find(QStringLiteral("frame"), m_main.title, 200);
            same = f.rect == frame ? same + 1 : 0;
            frame = f.rect;
            pause(100);
            return same >= 3 && !frame.isEmpty();
        },
        20000);
    // List and picture side by side, chosen as a user chooses them.
    m_ui->click(QStringLiteral("radio button"), QStringLiteral("リスト"), m_main.title);
    m_ui->click(QStringLiteral("radio button"), QStringLiteral("両方"), m_main.title);
    // Ready for the hand once its list shows the steps.
    if (options.steps > 0 && options.countRows && !waitUntil([&] { return rowCount() > 0; }, 20000))
        ADD_FAILURE() << "the list never showed the steps";
}

ProgramSession::~ProgramSession() {
    if (m_run.process().state() != QProcess::NotRunning) close();
}

QStringList ProgramSession::ran() const {
    QStringList names = m_run.commandsRun();
    names.removeAll(QStringLiteral("Timer_MsgLoop"));
    return names;
}

QString ProgramSession::title() {
    return mainWindowNow().title;
}

ClientWindow ProgramSession::mainWindowNow() {
    // Some commands give the main window a new X window (a change of its
    // window flags does): then it is the one with the program's own title.
    const QList<ClientWindow> windows = windowsOfProcess(m_run.process().processId());
    for (const ClientWindow& w : windows)
        if (w.id == m_main.id) return w;
    for (const ClientWindow& w : windows)
        if (w.title.startsWith(QStringLiteral("クラヴォロ Ver")) && (w.viewable || w.iconic)) {
            m_main = w;
            return w;
        }
    return ClientWindow();
}

QStringList ProgramSession::opened() const {
    QFile log(qEnvironmentVariable("KLAVORO_TEST_OPENED"));
    if (!log.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QList<UiElement> ProgramSession::mainElements(bool items) {
    // The title changes (playback shows its progress there): asked each time.
    const QString now = title();
    return now.isEmpty() ? QList<UiElement>() : m_ui->elements(now, items);
}

namespace {

// The step list is the list beside the picture; the thumbnail strip the
// wide one below them.
UiElement listOf(const QList<UiElement>& all, bool top) {
    UiElement best;
    for (const UiElement& e : all)
        if (e.role == QLatin1String("list") && !e.rect.isEmpty() &&
            (!best || (top ? e.rect.top() < best.rect.top() : e.rect.top() > best.rect.top())))
            best = e;
    return best;
}

// A row of the step list is as wide as its text, wider than the list: its
// start tells where it lies.
QPoint rowStart(const UiElement& row) {
    return QPoint(row.rect.left() + 4, row.rect.center().y());
}

} // namespace

UiElement ProgramSession::stepList() {
    return listOf(mainElements(), true);
}

UiElement ProgramSession::strip() {
    return listOf(mainElements(), false);
}

UiElement ProgramSession::viewer() {
    // The picture lies between the step list and the width slider.
    const QList<UiElement> all = mainElements();
    const QRect list = listOf(all, true).rect;
    QRect slider;
    for (const UiElement& e : all)
        if (e.role == QLatin1String("slider")) slider = e.rect;
    UiElement best;
    for (const UiElement& e : all)
        if (e.role == QLatin1String("filler") && !e.rect.isEmpty() &&
            e.rect.left() > list.right() && e.rect.right() < slider.left() &&
            (!best || e.rect.width() * e.rect.height() >
                          best.rect.width() * best.rect.height()))
            best = e;
    return best;
}

UiElement ProgramSession::button(const QString& caption) {
    return m_ui->find(QStringLiteral("push button"), caption, 5000, title());
}

namespace {

UiElement rowIn(const QList<UiElement>& all, const QString& part) {
    const QRect list = listOf(all, true).rect;
    for (const UiElement& e : all)
        if (e.role == QLatin1String("list item") && e.name.contains(part) &&
            list.contains(rowStart(e)))
            return e;
    return UiElement();
}

} // namespace

UiElement ProgramSession::row(const QString& part) {
    return rowIn(mainElements(true), part);
}

QPoint ProgramSession::rowPoint(int step) {
    const QList<UiElement> all = mainElements(true);
    const UiElement r = rowIn(all, stepSentence(step));
    return r ? QPoint(listOf(all, true).rect.left() + 30, r.rect.center().y()) : QPoint();
}

int ProgramSession::rowCount() {
    const QList<UiElement> all = mainElements(true);
    const QRect list = listOf(all, true).rect;
    int n = 0;
    for (const UiElement& e : all)
        if (e.role == QLatin1String("list item") && list.intersects(e.rect)) ++n;
    return n;
}

bool ProgramSession::select(int step) {
    return select(stepSentence(step));
}

bool ProgramSession::select(const QString& part) {
    const QList<UiElement> all = mainElements(true);
    const UiElement r = rowIn(all, part);
    if (!r) {
        ADD_FAILURE() << "no row in view holds " << part.toStdString();
        return false;
    }
    m_ui->click(QPoint(listOf(all, true).rect.left() + 30, r.rect.center().y()));
    return waitUntil([&] { return row(part).selected; }, 3000);
}

bool ProgramSession::hasWindow(const QString& title, int ms) {
    return m_run.waitForWindow(title, ms).id != 0;
}

QString ProgramSession::dialogText(const QString& title, int ms) {
    QStringList texts;
    const UiElement frame = m_ui->find(
        [&](const UiElement& e) { return e.window.contains(title); }, ms, title);
    if (!frame) return QString();
    for (const UiElement& e : m_ui->elements(title))
        if (e.role == QLatin1String("label") && !e.name.isEmpty()) texts << e.name;
    return texts.join(QLatin1Char('\n'));
}

bool ProgramSession::answer(const QString& title, Answer answer, int ms) {
    const UiElement b = m_ui->find(
        [&](const UiElement& e) {
            if (e.role != QLatin1String("push button")) return false;
            switch (answer) {
            case Answer::Ok:
                return startsWithAny(e.name, {"OK", "Ok"});
            case Answer::Cancel:
                return startsWithAny(e.name, {"キャンセル", "Cancel"});
            case Answer::Yes:
                return startsWithAny(e.name, {"はい", "Yes"});
            case Answer::No:
                return startsWithAny(e.name, {"いいえ", "No"});
            }
            return false;
        },
        ms, title);
    if (!b) {
        ADD_FAILURE() << "no answer to \"" << title.toStdString() << "\"";
        return false;
    }
    m_ui->click(b.centre());
    return true;
}

bool ProgramSession::fileDialog(const QString& title, const QString& path) {
    const UiElement box = m_ui->find(
        [&](const UiElement& e) {
            return e.role == QLatin1String("text") && e.focused &&
                   !e.window.startsWith(QStringLiteral("クラヴォロ"));
        },
        8000, title);
    if (!box) {
        ADD_FAILURE() << "no file dialog " << title.toStdString();
        return false;
    }
    m_ui->key(QStringLiteral("Ctrl+a"));
    m_ui->type(path);
    pause(200);
    m_ui->key(QStringLiteral("Return"));
    return true;
}

PopupMenu ProgramSession::popupMenu(const char* name) {
    PopupMenu menu;
    for (const MenuTable& table : mainMenuTables()) {
        if (qstrcmp(table.name, name) != 0) continue;
        QString submenu;
        for (const MenuEntry& e : table.entries) {
            const QString entryName = QString::fromUtf8(e.name);
            const QString caption = QString::fromUtf8(e.caption);
            if (entryName == QLatin1String("-")) continue;
            if (entryName == QLatin1String("end")) {
                submenu.clear();
            } else if (entryName.startsWith(QLatin1String("sub:"))) {
                submenu = caption;
                menu.entries << caption;
            } else if (submenu.isEmpty()) {
                menu.entries << caption;
            } else {
                menu.submenus[submenu] << caption;
            }
        }
    }
    if (menu.entries.isEmpty()) ADD_FAILURE() << "no pop-up menu " << name;
    return menu;
}

bool ProgramSession::pictureMenu(const QString& entry) {
    const UiElement picture = viewer();
    if (!picture) {
        ADD_FAILURE() << "no picture on the screen";
        return false;
    }
    return m_ui->popup(picture.rect.topLeft() + QPoint(20, 20), popupMenu("mnuPicList"), entry);
}

bool ProgramSession::stripMenu(const QString& entry) {
    const QList<UiElement> all = mainElements(true);
    const QRect strip = listOf(all, false).rect;
    for (const UiElement& e : all)
        if (e.role == QLatin1String("list item") && strip.contains(e.rect.center()))
            return m_ui->popup(e.centre(), popupMenu("mnuThumbList"), entry);
    ADD_FAILURE() << "no thumbnail on the screen";
    return false;
}

bool ProgramSession::listMenu(const QString& entry, const QString& submenu) {
    const QList<UiElement> all = mainElements(true);
    const QRect list = listOf(all, true).rect;
    UiElement selected;
    for (const UiElement& e : all)
        if (e.role == QLatin1String("list item") && e.selected && list.contains(rowStart(e)))
            selected = e;
    const QPoint at = selected ? QPoint(list.left() + 40, selected.rect.center().y())
                               : list.topLeft() + QPoint(40, 40);
    return m_ui->popup(at, popupMenu("mnuList"), entry, submenu);
}

bool ProgramSession::close(int ms) {
    if (const WindowId main = mainWindow()) m_run.requestClose(main);
    const bool ended = m_run.waitForExit(ms);
    QString windows;
    if (!ended)
        for (const ClientWindow& w : windowsOfProcess(m_run.process().processId()))
            windows += QStringLiteral("\n  ") + w.title + (w.viewable ? " (shown)" : "");
    EXPECT_TRUE(ended) << "the program did not end after its window was closed; its windows:"
                       << windows.toStdString();
    return ended;
}

} // namespace klavoro::test

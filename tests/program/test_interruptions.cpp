// Every long operation on a long recording, interrupted three ways while it
// runs: the main window's close box, 停止 (Ctrl+F2) and another command (F5,
// 再読み込み). Whatever the order, the program must not crash, must end within
// seconds of a close, and must leave OpList.txt and the pictures agreeing:
// nothing listed without its picture, nothing lost that was not deleted on
// request, no tmp_del left behind.
// KLAVORO_MATRIX_STEPS sets the recording's length (CI keeps it short enough
// to stay quick and long enough to be caught running).
#include "tests/desktop/fixtureapp.h"
#include "tests/program/programsession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

const QString kFile = QStringLiteral("ファイル");

int matrixSteps() {
    const int n = qEnvironmentVariableIntValue("KLAVORO_MATRIX_STEPS");
    return n > 0 ? n : 1500;
}

enum class Action { Close, Stop, OtherCommand };

// What an operation may do to the list.
enum class Effect { Keeps, Deletes, Relists };

struct Operation {
    const char* name;
    Effect effect;
    bool thumbnails; // the folder has its thumbnails
    // Starts the operation as a user does; false when it could not be started.
    std::function<bool(ProgramSession&)> start;
};

bool fileMenu(ProgramSession& s, const char* entry) {
    return s.menu(kFile, QString::fromUtf8(entry));
}

bool html(ProgramSession& s) {
    return fileMenu(s, "HTMLファイル作成") &&
           s.ui().click(QStringLiteral("push button"), QStringLiteral("作成開始"),
                        QStringLiteral("HTMLファイルの作成"));
}

const Operation kOperations[] = {
    {"Loading", Effect::Keeps, true, nullptr},
    {"DeleteAll", Effect::Deletes, true,
     [](ProgramSession& s) {
         return s.menu(QStringLiteral("編集"), QStringLiteral("全て削除")) &&
                s.answer(QStringLiteral("削除確認"), Answer::Ok);
     }},
    {"DeleteUpperPart", Effect::Deletes, true,
     [](ProgramSession& s) {
         // A row near the end selected: it and every row above it go.
         s.ui().click(s.stepList().rect.topLeft() + QPoint(30, 10));
         s.ui().key(QStringLiteral("End"));
         for (int i = 0; i < 3; ++i)
             s.ui().key(QStringLiteral("Page_Up"));
         pause(300);
         return s.menu(QStringLiteral("編集"), QStringLiteral("削除 - 左側（選択含）")) &&
                s.answer(QStringLiteral("削除確認"), Answer::Ok);
     }},
    {"ListFromImages", Effect::Relists, true,
     [](ProgramSession& s) {
         return fileMenu(s, "管理ファイル新規作成（画像ファイルから）") &&
                s.answer(QStringLiteral("管理ファイル作成"), Answer::Ok);
     }},
    {"FileCheck", Effect::Keeps, true,
     [](ProgramSession& s) {
         return fileMenu(s, "ファイルチェック") &&
                s.ui().click(QStringLiteral("push button"), QStringLiteral("画像ファイルチェック"),
                             QStringLiteral("リスト／ファイル整合チェック"));
     }},
    {"Word", Effect::Keeps, true, [](ProgramSession& s) { return fileMenu(s, "MSワード文書作成"); }},
    {"RichText", Effect::Keeps, true,
     [](ProgramSession& s) {
         // A long list is built only after the warning is accepted.
         return fileMenu(s, "リッチテキスト作成") &&
                (matrixSteps() <= 1000 || s.answer(QStringLiteral("データ量多し"), Answer::Ok));
     }},
    {"Html", Effect::Keeps, true, html},
    {"Pdf", Effect::Keeps, true, [](ProgramSession& s) { return fileMenu(s, "PDFファイル作成"); }},
    {"Markdown", Effect::Keeps, true,
     [](ProgramSession& s) { return fileMenu(s, "Markdownファイル作成"); }},
    // The HTML manual makes the thumbnails that are missing.
    {"Thumbnails", Effect::Keeps, false, html},
    {"Playback", Effect::Keeps, true,
     [](ProgramSession& s) {
         return s.ui().click(QStringLiteral("push button"), QStringLiteral("再生"), s.title());
     }},
    {"ReplaceAll", Effect::Keeps, true,
     [](ProgramSession& s) {
         const QString window = QStringLiteral("検索");
         s.ui().key(QStringLiteral("Ctrl+f"));
         const UiElement box =
             s.ui().find(QStringLiteral("text"), QStringLiteral("検索する文字列"), 8000, window);
         if (!box) return false;
         s.ui().click(box.centre());
         s.ui().type(QStringLiteral("Button"));
         if (!s.ui().click(QStringLiteral("check box"), QStringLiteral("置換"), window))
             return false;
         const UiElement replace =
             s.ui().find(QStringLiteral("text"), QStringLiteral("置換後の文字列"), 5000, window);
         if (!replace) return false;
         s.ui().click(replace.centre());
         s.ui().type(QStringLiteral("Knopf"));
         return s.ui().click(QStringLiteral("push button"), QStringLiteral("全て置換"), window);
     }},
};

const char* actionName(Action a) {
    switch (a) {
    case Action::Close:
        return "Close";
    case Action::Stop:
        return "Stop";
    case Action::OtherCommand:
        return "OtherCommand";
    }
    return "";
}

// Answers or closes whatever the program shows besides its main window
// (results, questions, the windows of the operation) until it has shown
// nothing else for a while. Returns what it had to answer.
QStringList dismissOthers(ProgramSession& s, int ms = 60000) {
    QStringList seen;
    QElapsedTimer clock, quiet;
    clock.start();
    quiet.start();
    const qint64 pid = s.run().process().processId();
    while (clock.elapsed() < ms && quiet.elapsed() < 2000 &&
           s.run().process().state() == QProcess::Running) {
        const WindowId main = s.mainWindow();
        QList<ClientWindow> others;
        for (const ClientWindow& w : windowsOfProcess(pid))
            // The program's notices have no title of their own.
            if (w.id != main && w.viewable && !w.title.isEmpty() &&
                w.title != QLatin1String("klavoro"))
                others << w;
        if (!others.isEmpty()) quiet.restart();
        // A message box first: a window under it takes no close.
        bool answered = false;
        for (const ClientWindow& w : others) {
            const UiElement b = s.ui().find(
                [](const UiElement& e) {
                    return e.role == QLatin1String("push button") &&
                           (e.name.startsWith(QLatin1String("OK")) ||
                            e.name.startsWith(QStringLiteral("いいえ")));
                },
                300, w.title);
            if (!b) continue;
            QStringList texts;
            for (const UiElement& e : s.ui().elements(w.title))
                if (e.role == QLatin1String("label") && !e.name.isEmpty()) texts << e.name;
            seen << w.title + QStringLiteral(" 「") + texts.join(QLatin1Char(' ')).left(60) +
                        QStringLiteral("」");
            s.ui().click(b.centre());
            answered = true;
            break;
        }
        if (!answered && !others.isEmpty()) {
            seen << others.last().title;
            s.run().requestClose(others.last().id);
        }
        if (!others.isEmpty()) pause(300);
        pause(100);
    }
    return seen;
}

// The capture folder agrees with its list, and the operation lost nothing.
void expectConsistent(const QString& folder, const QStringList& before, Effect effect) {
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("tmp_del"))) << "tmp_del left behind";
    QStringList listed = opListField(folder, 1);
    for (QString& name : listed)
        if (name.endsWith(QLatin1String(".jpg"))) name.chop(4);
    int missing = 0;
    for (const QString& name : listed)
        if (!QFileInfo::exists(folder + name + QStringLiteral(".jpg")) && ++missing <= 3)
            ADD_FAILURE() << "listed without its picture: " << name.toStdString();
    EXPECT_EQ(missing, 0);
    switch (effect) {
    case Effect::Keeps:
        EXPECT_EQ(listed, before) << "the list changed";
        break;
    case Effect::Relists:
        EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()),
                  QSet<QString>(before.begin(), before.end()));
        break;
    case Effect::Deletes: {
        // What stays is the list with whole steps taken out, in its order.
        qsizetype at = 0;
        for (const QString& name : listed) {
            while (at < before.size() && before[at] != name)
                ++at;
            if (at == before.size()) {
                ADD_FAILURE() << "not a step of the list: " << name.toStdString();
                break;
            }
        }
        break;
    }
    }
    if (effect != Effect::Deletes) {
        int lost = 0;
        for (const QString& name : before)
            if (!QFileInfo::exists(folder + name + QStringLiteral(".jpg")) && ++lost <= 3)
                ADD_FAILURE() << "picture lost: " << name.toStdString();
        EXPECT_EQ(lost, 0);
    }
}

struct Case {
    const Operation* operation;
    Action action;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.operation->name << " × " << actionName(c.action);
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.operation->name) + '_' + actionName(info.param.action);
}

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (const Operation& op : kOperations)
        for (Action a : {Action::Close, Action::Stop, Action::OtherCommand})
            cases.push_back({&op, a});
    return cases;
}

class Interruption : public ::testing::TestWithParam<Case> {};

void act(ProgramSession& s, Action action, WindowId main) {
    switch (action) {
    case Action::Close:
        s.run().requestClose(main);
        break;
    case Action::Stop:
        s.ui().key(QStringLiteral("Ctrl+F2"));
        break;
    case Action::OtherCommand:
        s.ui().key(QStringLiteral("F5"));
        break;
    }
}

} // namespace

TEST_P(Interruption, LosesNothingAndEnds) {
    const Operation& op = *GetParam().operation;
    const Action action = GetParam().action;
    const int steps = matrixSteps();
    ProgramSession::Options options;
    options.steps = steps;
    options.conf = {QStringLiteral("play span = 0.05")};
    options.makeFolder = [&](const QString& folder) {
        makeLongStepFolder(folder, steps, op.thumbnails);
    };
    const bool loading = !op.start;
    options.settle = !loading;
    options.countRows = false;
    ProgramSession s(options);
    ASSERT_TRUE(s.ready());
    QStringList before;
    for (int i = 1; i <= steps; ++i)
        before << longStepName(i);

    if (!loading) {
        ASSERT_TRUE(op.start(s)) << "the operation did not start";
    }
    QElapsedTimer clock;
    clock.start();
    act(s, action, s.mainWindow());

    if (action == Action::Close) {
        // The one question a closing program may ask: whether to save the
        // rich text document it has just made.
        bool ended = false, asked = false;
        while (!ended && clock.elapsed() < 60000) {
            ended = s.run().waitForExit(300);
            if (!ended && !asked && s.hasWindow(QStringLiteral("保存確認")))
                asked = s.answer(QStringLiteral("保存確認"), Answer::No);
        }
        std::printf("[ matrix   ] %s × %s: ended after %lld ms%s\n", op.name, actionName(action),
                    static_cast<long long>(clock.elapsed()), asked ? " (asked 保存確認)" : "");
        if (!ended) {
            const QStringList left = dismissOthers(s, 5000);
            ADD_FAILURE() << "still running a minute after the close; it showed: "
                          << left.join(QLatin1String(", ")).toStdString();
        }
    } else {
        const QStringList shown = dismissOthers(s);
        std::printf("[ matrix   ] %s × %s: settled after %lld ms (answered: %s)\n", op.name,
                    actionName(action), static_cast<long long>(clock.elapsed()),
                    qPrintable(shown.join(QLatin1String(", "))));
        EXPECT_EQ(s.run().process().state(), QProcess::Running) << "the program ended by itself";
        if (s.run().process().state() == QProcess::Running) {
            // An operation that cannot be stopped and asks nothing may
            // still run: the close waits for it.
            s.run().requestClose(s.mainWindow());
            EXPECT_TRUE(s.run().waitForExit(60000)) << "the program did not end on its close";
        }
    }
    if (s.run().process().state() != QProcess::NotRunning) {
        s.run().process().kill();
        s.run().process().waitForFinished(5000);
        FAIL() << "killed: it would not end";
    }
    EXPECT_EQ(s.run().process().exitStatus(), QProcess::NormalExit) << "crashed";
    EXPECT_EQ(s.run().process().exitCode(), 0);
    std::printf("[ matrix   ] %s × %s: %lld of %d steps listed\n", op.name, actionName(action),
                static_cast<long long>(opListLines(s.folder()).size()), steps);
    expectConsistent(s.folder(), before, op.effect);
}

INSTANTIATE_TEST_SUITE_P(Matrix, Interruption, ::testing::ValuesIn(allCases()), caseName);

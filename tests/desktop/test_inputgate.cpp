// The input gate while a long operation runs, with input delivered as the
// window system delivers it: to the window first, then to the widget.
#include "store/events.h"
#include "ui/inputgate.h"
#include "ui/qtdialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

// A click through the window that shows `widget`.
void clickThroughWindow(QWidget* widget) {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(top, widget->rect().center()));
}

} // namespace

TEST(InputGate, AStoppableOperationLetsClicksReachItsStopControlOnly) {
    QStringList refusals;
    InputGate gate({.refused = [&](const QString& why) { refusals << why; },
                    .closeAgain = {},
                    .mainWindow = {}});
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* stop = new QPushButton(QStringLiteral("停止"), &window);
    auto* play = new QPushButton(QStringLiteral("再生"), &window);
    layout->addWidget(stop);
    layout->addWidget(play);
    InputGate::markStopControl(stop);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    int stops = 0, plays = 0;
    QObject::connect(stop, &QPushButton::clicked, [&] { ++stops; });
    QObject::connect(play, &QPushButton::clicked, [&] { ++plays; });

    LongOperation playing([] {});
    clickThroughWindow(stop);
    clickThroughWindow(play);
    EXPECT_EQ(stops, 1) << "the stop control was not reached";
    EXPECT_EQ(plays, 0);
    EXPECT_EQ(refusals, QStringList{InputGate::kRefusal});
}

TEST(InputGate, AQuestionAskedDuringAnOperationCanBeAnswered) {
    InputGate gate({});
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    LongOperation building; // cannot be stopped: only its question takes input
    QMessageBox box(QMessageBox::Question, QStringLiteral("管理ファイル作成"),
                    QStringLiteral("実行して宜しいですか？"),
                    QMessageBox::Ok | QMessageBox::Cancel, &window);
    QTimer::singleShot(0, &box, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        clickThroughWindow(box.button(QMessageBox::Ok));
    });
    QTimer::singleShot(3000, &box, [&] { box.done(-1); }); // never answered
    EXPECT_EQ(box.exec(), QMessageBox::Ok);
}

TEST(InputGate, AfterTheMainWindowWasClosedDuringAnOperationItsMessagesAreNotWaitedFor) {
    QWidget window;
    int closes = 0;
    InputGate gate({.refused = {},
                    .closeAgain = [&](QWidget*, bool) { ++closes; },
                    .mainWindow = [&] { return &window; }});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QtDialogs dialogs(&window);
    bool boxShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            boxShown = true;
            modal->close();
        }
    });
    watch.start(50);
    {
        LongOperation building;
        EXPECT_FALSE(LongOperations::instance().isCloseHeld());
        window.close();
        EXPECT_TRUE(window.isVisible()) << "the close did not wait for the operation";
        EXPECT_TRUE(LongOperations::instance().isCloseHeld());
        dialogs.message(QStringLiteral("作成しました。"), QStringLiteral("管理ファイル作成"));
        EXPECT_FALSE(boxShown) << "the closing program waited for an answer";
    }
    EXPECT_FALSE(LongOperations::instance().isCloseHeld());
    EXPECT_TRUE(QTest::qWaitFor([&] { return closes == 1; }, 2000)) << "the close was lost";
    // Nothing runs: a message is shown again.
    dialogs.message(QStringLiteral("作成しました。"), QStringLiteral("管理ファイル作成"));
    EXPECT_TRUE(boxShown);
}

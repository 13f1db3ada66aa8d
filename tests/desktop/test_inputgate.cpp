// The input gate while a long operation runs, with input delivered as the
// window system delivers it: to the window first, then to the widget.
#include "store/events.h"
#include "ui/inputgate.h"

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

#include "describe/inputtracker.h"
#include "describe/inspector.h"
#include "describe/phrase.h"
#include "platform/x11/atspiaccessibility.h"
#include "platform/x11/atspiscreentext.h"
#include "platform/x11/x11desktop.h"
#include "platform/x11/x11screencopy.h"
#include "platform/x11/x11syntheticinput.h"
#include "store/dialogs.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "tests/desktop/fixtureapp.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <signal.h>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

constexpr int kTab = 9;

class SilentDialogs : public Dialogs {
public:
    void message(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
};

class ElementsOnDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.isOpen());
        ASSERT_TRUE(input.isOpen()) << input.errorText().toStdString();
        ASSERT_NE(fixture.window(), 0u) << "fixture did not start";
        ASSERT_TRUE(service.isAvailable()) << "no accessibility bus in the desktop session";
        desktop.setForegroundWindow(fixture.window());
        waitUntil([&] { return desktop.foregroundWindow() == fixture.window(); }, 2000);
    }

    // Moves there and waits until toolkits have seen the pointer arrive.
    void moveTo(QPoint p) {
        input.moveTo(p);
        input.sync();
        pause(120);
    }

    // A click held as long as a person holds it; `whileDown` runs at the press.
    void click(QPoint p, const std::function<void()>& whileDown = {}) {
        moveTo(p);
        input.pressLeftButton();
        input.sync();
        if (whileDown) whileDown();
        pause(120);
        input.releaseLeftButton();
        input.sync();
        pause(150);
    }

    void typeText(const QString& latin) {
        for (const QChar c : latin) {
            const int vk = c.toUpper().unicode();
            input.sendKey(vk, false);
            input.sendKey(vk, true);
        }
        input.sync();
        pause(200);
    }

    QString sentence(const ElementInfo& info) {
        SilentDialogs dialogs;
        return mouseSentence(QStringLiteral("Left"), QString(), info, Settings(), dialogs).value();
    }

    FixtureApp& fixture = sharedFixture();
    x11::X11Desktop desktop;
    x11::X11SyntheticInput input;
    x11::AtspiAccessibility service{desktop};
    ElementInspector inspector{service, desktop};
};

} // namespace

TEST_F(ElementsOnDesktop, ClickOnOkGivesTheButtonAndItsSentence) {
    ElementInfo info;
    click(fixture.centre("OK"), [&] { inspector.inspectPoint(info, fixture.centre("OK"), 1.0); });
    EXPECT_TRUE(fixture.waitForLine("clicked OK")) << "the click must still reach the application";
    EXPECT_EQ(info.name, QStringLiteral("OK"));
    EXPECT_EQ(info.roleNumber, QStringLiteral("43"));
    EXPECT_EQ(info.roleText, QStringLiteral("ボタン"));
    EXPECT_EQ(sentence(info), QStringLiteral("[OK](ボタン)を、クリックします。"));
    // The rectangle is the button's, in screen pixels.
    const QRect reported = fixture.geometry("OK");
    EXPECT_LE(qAbs(info.left - reported.left()), 2);
    EXPECT_LE(qAbs(info.top - reported.top()), 2);
    EXPECT_LE(qAbs(info.width - reported.width()), 4);
    EXPECT_LE(qAbs(info.height - reported.height()), 4);

    ElementInfo scaled;
    inspector.inspectPoint(scaled, fixture.centre("OK"), 1.25);
    EXPECT_EQ(scaled.width, qRound(info.width * 1.25));
    EXPECT_EQ(inspector.nameAtPoint(fixture.centre("キャンセル")), QStringLiteral("キャンセル"));
}

TEST_F(ElementsOnDesktop, OpenItemOfTheFileMenu) {
    const AccessibleRef window = service.objectOfWindow(fixture.window());
    ASSERT_TRUE(window);
    const QRect client = window->location();
    // The menu bar runs along the top of the window's client area.
    const QPoint fileMenu(client.left() + 20, client.top() + 10);
    ElementInfo bar;
    inspector.inspectPoint(bar, fileMenu, 1.0);
    EXPECT_EQ(bar.name, QStringLiteral("ファイル(F)"));
    click(fileMenu);

    // The menu opens below its title; its first item is "開く(O)...".
    const QPoint openItem(fileMenu.x() + 10, client.top() + bar.height + 12);
    moveTo(openItem);
    ElementInfo info;
    inspector.inspectPoint(info, openItem, 1.0);
    EXPECT_EQ(info.name, QStringLiteral("開く(O)..."));
    EXPECT_EQ(info.roleNumber, QStringLiteral("12"));
    EXPECT_EQ(info.parentName, QStringLiteral("ファイル(F)"));
    EXPECT_EQ(info.parentRoleText, QStringLiteral("メニュー"));
    EXPECT_EQ(sentence(info), QStringLiteral("[ファイル](メニュー)の[開く]を、クリックします。"));
    click(openItem);
    EXPECT_TRUE(fixture.waitForLine(QStringLiteral("triggered 開く")));
}

TEST_F(ElementsOnDesktop, GtkButtonNameAndRole) {
    FixtureApp gtk(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(KLAVORO_GTK_FIXTURE), QStringLiteral("700,400")});
    ASSERT_TRUE(gtk.start()) << "the GTK fixture did not start (python3-gi, gir1.2-gtk-3.0)";
    desktop.setForegroundWindow(gtk.window());
    const QPoint centre = gtk.geometry(QStringLiteral("適用")).center();
    ElementInfo info;
    // GTK registers with the bus a moment after it shows its window.
    waitUntil(
        [&] {
            inspector.inspectPoint(info, centre, 1.0);
            return !info.name.isEmpty();
        },
        5000);
    EXPECT_EQ(info.name, QStringLiteral("適用(A)"));
    EXPECT_EQ(info.roleNumber, QStringLiteral("43"));
    EXPECT_EQ(info.roleText, QStringLiteral("ボタン"));
    EXPECT_EQ(sentence(info), QStringLiteral("[適用](ボタン)を、クリックします。"));

    // GTK hands out a password entry's text as bullets; we must not even ask.
    const QPoint secret = gtk.geometry(QStringLiteral("暗証番号")).center();
    click(secret);
    typeText(QStringLiteral("abc"));
    ASSERT_TRUE(gtk.waitForLine(QStringLiteral("secret length 3")));
    inspector.inspectPoint(info, secret, 1.0);
    EXPECT_EQ(info.name, QStringLiteral("暗証番号"));
    EXPECT_EQ(info.roleNumber, QStringLiteral("42"));
    EXPECT_TRUE(info.stateNumber.toUInt() & state::Protected);
    EXPECT_EQ(info.value, QString());
}

TEST_F(ElementsOnDesktop, FocusedControlAfterTyping) {
    click(fixture.centre("名前"));
    typeText(QStringLiteral("abc"));
    ASSERT_TRUE(fixture.waitForLine(QStringLiteral("text abc")));
    const AccessibleRef focused = service.focusedObject();
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused->name(), QStringLiteral("名前"));
    EXPECT_EQ(focused->role(), 42);
    EXPECT_EQ(focused->value(), QStringLiteral("abc"));
    EXPECT_TRUE(focused->state() & state::Focused);

    ElementInfo info;
    inspector.inspectPoint(info, {-1, -1}, 1.0);
    EXPECT_EQ(info.name, QStringLiteral("名前"));
    EXPECT_EQ(info.value, QStringLiteral("abc"));
    ASSERT_TRUE(inspector.lastFocusedObject());
    EXPECT_EQ(inspector.lastFocusedObject()->key(), focused->key());
}

namespace {
class RecordingHost : public TrackerHost {
public:
    void writeInputStep(const QString& s) override { sentences << s; }
    void writeKeyStep(const QString& s, std::optional<QPoint>) override { sentences << s; }
    void settleKeyPress() override { pause(100); }
    QStringList sentences;
};
} // namespace

TEST_F(ElementsOnDesktop, PasswordValueIsNeverRead) {
    // The password field lies between the name field and the check box.
    const QPoint field = fixture.centre("名前") + QPoint(0, fixture.geometry("名前").height() + 8);
    ElementInfo info;
    click(field);
    typeText(QStringLiteral("hunter2"));
    inspector.inspectPoint(info, field, 1.0);
    EXPECT_EQ(info.name, QStringLiteral("パスワード"));
    EXPECT_EQ(info.roleNumber, QStringLiteral("42"));
    EXPECT_TRUE(info.stateNumber.toUInt() & state::Protected);
    EXPECT_EQ(info.value, QString());
    const AccessibleRef focused = service.focusedObject();
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused->value(), QString());

    // Through the tracker: the step says a password was entered, never what.
    Settings settings;
    RecordingHost host;
    InputTracker tracker(inspector, desktop, host, settings);
    tracker.reset();
    tracker.buttonDown(service.objectAtPoint(field), desktop.windowAt(field));
    input.sendKey('X', false);
    input.sendKey('X', true);
    tracker.keyDown('X', {}, true);
    tracker.buttonDown(service.objectAtPoint(fixture.centre("OK")), fixture.window());
    ASSERT_EQ(host.sentences.size(), 1);
    EXPECT_EQ(host.sentences[0], QStringLiteral("(パスワード)でパスワードを入力します。"));
    EXPECT_FALSE(tracker.text().contains(QStringLiteral("hunter2")));
}

TEST_F(ElementsOnDesktop, TabFromTheNameFieldMakesAKeyStep) {
    click(fixture.centre("名前"));
    Settings settings;
    RecordingHost host;
    InputTracker tracker(inspector, desktop, host, settings);
    tracker.reset();
    tracker.buttonDown(service.objectAtPoint(fixture.centre("名前")), fixture.window());
    input.sendKey('Q', false);
    input.sendKey('Q', true);
    tracker.keyDown('Q', {}, true);
    input.sendKey(kTab, false);
    input.sendKey(kTab, true);
    tracker.keyDown(kTab, {}, true);
    ASSERT_EQ(host.sentences.size(), 2);
    EXPECT_TRUE(host.sentences[0].startsWith(QStringLiteral("(名前)で\"")));
    EXPECT_TRUE(host.sentences[0].endsWith(QStringLiteral("q\"を入力します。")));
    EXPECT_EQ(host.sentences[1], QStringLiteral("Tabキーを押します。"));
    EXPECT_EQ(tracker.elementName(), QStringLiteral("パスワード"));
}

TEST_F(ElementsOnDesktop, OurOwnWindowIsNeverAsked) {
    QPushButton self(QStringLiteral("Self"));
    self.setGeometry(900, 700, 120, 40);
    self.show();
    ASSERT_TRUE(waitUntil([&] { return desktop.windowAt({960, 720}) != desktop.desktopWindow(); }));
    pause(200);
    EXPECT_EQ(service.objectAtPoint({960, 720}), nullptr);
    EXPECT_EQ(service.objectOfWindow(desktop.windowAt({960, 720})), nullptr);
}

TEST_F(ElementsOnDesktop, StoppedApplicationGivesEmptyData) {
    FixtureApp stopped({QStringLiteral("--title"), QStringLiteral("Stopped"),
                        QStringLiteral("--pos"), QStringLiteral("700,300")});
    ASSERT_TRUE(stopped.start());
    const QPoint ok = stopped.geometry(QStringLiteral("OK")).center();
    desktop.setForegroundWindow(stopped.window());
    ASSERT_TRUE(waitUntil([&] { return inspector.nameAtPoint(ok) == QLatin1String("OK"); }, 5000));

    ::kill(static_cast<pid_t>(stopped.pid()), SIGSTOP);
    ElementInfo info;
    info.name = QStringLiteral("earlier");
    inspector.inspectPoint(info, ok, 1.0);
    EXPECT_EQ(info.name, QStringLiteral("earlier")) << "no element: the record stays as it was";
    EXPECT_EQ(service.focusedObject(), nullptr);
    ::kill(static_cast<pid_t>(stopped.pid()), SIGCONT);

    // Other applications are still answered.
    EXPECT_EQ(inspector.nameAtPoint(fixture.centre("OK")), QStringLiteral("OK"));
}

TEST(AccessibilityBus, MissingBusMeansEmptyDataAndOneLogLine) {
    QTemporaryDir home;
    qputenv(kProgramFolderEnv, home.path().toLocal8Bit());
    resetProgramFolder();
    const QByteArray saved[] = {qgetenv("DBUS_SESSION_BUS_ADDRESS"), qgetenv("AT_SPI_BUS_ADDRESS"),
                                qgetenv("XDG_RUNTIME_DIR")};
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("AT_SPI_BUS_ADDRESS");
    qunsetenv("XDG_RUNTIME_DIR");
    {
        x11::X11Desktop desktop;
        x11::AtspiAccessibility service(desktop);
        EXPECT_FALSE(service.isAvailable());
        EXPECT_EQ(service.objectAtPoint({100, 100}), nullptr);
        EXPECT_EQ(service.focusedObject(), nullptr);
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved[0]);
    if (!saved[1].isEmpty()) qputenv("AT_SPI_BUS_ADDRESS", saved[1]);
    qputenv("XDG_RUNTIME_DIR", saved[2]);
    QFile log(home.filePath(QStringLiteral("log.txt")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count("\r\n"), 1);
    qunsetenv(kProgramFolderEnv);
    resetProgramFolder();
}

namespace {
// The bounding box of the pixels of one colour in a copy of `area`, on the screen.
QRect drawnIn(x11::X11ScreenCopy& screen, const QRect& area, QRgb colour) {
    const QImage image = screen.copy(area);
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) == (colour & 0xffffff))
                box |= QRect(area.x() + x, area.y() + y, 1, 1);
    return box;
}
} // namespace

// GTK 4 tells places in its window's coordinates, which without a compositor
// start inside the X window of a window that draws its own title bar; a
// button and a password field painted flat must be found, and boxed for
// redaction, where they are drawn, asked once and again.
TEST(Gtk4Window, ElementsAndRedactionBoxesStandWhereTheyAreDrawn) {
    for (const char* bar : {"own", "plain"}) {
        SCOPED_TRACE(bar);
        FixtureApp gtk(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral(KLAVORO_GTK4_FIXTURE), QString::fromLatin1(bar)});
        ASSERT_TRUE(gtk.start()) << "the GTK 4 fixture did not start (gir1.2-gtk-4.0)";
        x11::X11Desktop desktop;
        x11::X11ScreenCopy screen;
        desktop.setForegroundWindow(gtk.window());
        const QRect window = desktop.windowRect(gtk.window());
        QRect red, blue;
        ASSERT_TRUE(waitUntil(
            [&] {
                red = drawnIn(screen, window, qRgb(255, 0, 0));
                blue = drawnIn(screen, window, qRgb(0, 0, 255));
                return !red.isEmpty() && !blue.isEmpty();
            },
            5000));
        // What stands inside the padding: the button's label, the field's text.
        const QRect label = red.adjusted(24, 8, -24, -8);
        const QRect text = blue.adjusted(24, 8, -24, -8);
        x11::AtspiAccessibility service(desktop);
        AccessibleRef button;
        waitUntil(
            [&] {
                button = service.objectAtPoint(label.center());
                return button && button->name() == QStringLiteral("赤");
            },
            5000);
        ASSERT_TRUE(button);
        EXPECT_EQ(button->location(), label);
        // Read later by another reader, from the element the press found.
        x11::AtspiAccessibility late(desktop);
        const AccessibleRef again = late.deepestFrom(button->key(), label.center(), gtk.window());
        ASSERT_TRUE(again);
        EXPECT_EQ(again->location(), label);
        // Again, with the window already known.
        for (int i = 0; i < 2; ++i) {
            const AccessibleRef field = service.objectAtPoint(text.center());
            ASSERT_TRUE(field);
            EXPECT_EQ(field->role(), 42);
            EXPECT_EQ(field->location(), text) << i;
        }
        x11::AtspiScreenText texts(desktop, true);
        const ScreenTextScan scan =
            texts.textsIn(label.center(), window, {true, redactkind::All, QString()}, 5000);
        ASSERT_EQ(scan.texts.size(), 1u);
        EXPECT_TRUE(scan.texts[0].password);
        EXPECT_EQ(scan.texts[0].rect, text);

        // An open popover, a surface of its own below the window.
        x11::X11SyntheticInput input;
        const QPoint opener(blue.center().x(), blue.bottom() + 35);
        input.moveTo(opener);
        pause(100);
        input.button(MouseButton::Left, true);
        input.button(MouseButton::Left, false);
        QRect green;
        ASSERT_TRUE(waitUntil(
            [&] {
                green = drawnIn(screen, QRect(0, 0, 1280, 1024), qRgb(0, 255, 0));
                return !green.isEmpty();
            },
            5000));
        const QRect item = green.adjusted(24, 8, -24, -8);
        const AccessibleRef inside = service.objectAtPoint(item.center());
        ASSERT_TRUE(inside);
        EXPECT_EQ(inside->name(), QStringLiteral("緑"));
        EXPECT_EQ(inside->location(), item);
        const AccessibleRef known = service.objectAtPoint(item.center());
        ASSERT_TRUE(known);
        EXPECT_EQ(known->location(), item);
        x11::AtspiAccessibility reader(desktop);
        const AccessibleRef read = reader.deepestFrom(
            inside->key(), item.center(), desktop.topLevelWindow(desktop.windowAt(item.center())));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->location(), item);
        // Redaction read at a point in the popover: the field below and the
        // address in the popover are boxed where they are drawn.
        const QRect yellow = drawnIn(screen, QRect(0, 0, 1280, 1024), qRgb(255, 255, 0));
        const ScreenTextScan open = texts.textsIn(item.center(), QRect(0, 0, 1280, 1024),
                                                  {true, redactkind::All, QString()}, 5000);
        QRect secret, address;
        for (const ScreenText& t : open.texts) {
            if (t.password)
                secret = t.rect;
            else if (t.text == QStringLiteral("hanako@example.jp"))
                address = t.rect;
        }
        EXPECT_EQ(secret, text);
        EXPECT_FALSE(address.isEmpty());
        EXPECT_TRUE(yellow.contains(address)) << address.x() << ',' << address.y() << ' '
                                              << address.width() << 'x' << address.height();
    }
}

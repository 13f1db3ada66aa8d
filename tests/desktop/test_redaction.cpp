// Redaction on the real desktop: a GTK form full of personal data is recorded
// and every saved copy of its picture is read back by OCR.
#include "platform/x11/atspiscreentext.h"
#include "store/capturefolder.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "tests/desktop/recordingsession.h"
#include "ui/frmklavoro.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// What tesseract reads in a picture, enlarged first (screen text is small for it).
QString ocr(const QImage& image) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ocr.png"));
    image.scaled(image.size() * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(path);
    QProcess p;
    p.start(QStringLiteral("tesseract"),
            {path, QStringLiteral("-"), QStringLiteral("-l"), QStringLiteral("eng+jpn"),
             QStringLiteral("--psm"), QStringLiteral("11")}); // sparse text: a form, not a page
    if (!p.waitForFinished(120000)) return QStringLiteral("<tesseract did not finish>");
    // Blanks dropped: OCR splits digit groups in its own way.
    return QString::fromUtf8(p.readAllStandardOutput()).remove(u' ');
}

// A box as text, to compare readings.
QString boxKey(const ScreenText& t) {
    return QStringLiteral("%1 %2,%3 %4x%5")
        .arg(t.password ? QStringLiteral("<password>") : t.text)
        .arg(t.rect.x())
        .arg(t.rect.y())
        .arg(t.rect.width())
        .arg(t.rect.height());
}

const char* const kSecrets[] = {"example", "yamada",  "1234-5678", "12345678",
                                "4111",    "1111111", "Hunter",    "Secret"};

class Redaction : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("tesseract")).isEmpty())
            << "tesseract-ocr is needed (scripts/install-deps)";
        saved = conf();
        conf().target = 1; // the window: the whole form is in the picture
        conf().noRectFile = 1;
        conf().copyToClipboard = 1;
        conf().redact = 1;
        conf().redactPatterns = 15;
        ASSERT_TRUE(form.start());
        s.desktop.setForegroundWindow(form.window());
        pause(400);
    }
    void TearDown() override { conf() = saved; }

    Settings saved;
    FixtureApp form{QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(KLAVORO_GTK_PRIVATEFORM), QStringLiteral("60,60")}};
    RecordingSession s;
};

} // namespace

TEST_F(Redaction, NoSavedCopyShowsThePersonalDataAndTheButtonStaysReadable) {
    // The control: unredacted, OCR reads the values, so their absence below means something.
    const QRect formRect =
        form.geometry("mail").united(form.geometry("button")).adjusted(-20, -20, 20, 20);
    const QString plain = ocr(s.screen.copy(formRect));
    ASSERT_TRUE(plain.contains("example") && plain.contains("Submit") && plain.contains("Hunter"))
        << plain.toStdString();

    // A click in the empty field: the pointer and the marker stay off the caption.
    ASSERT_TRUE(s.start());
    s.click(form.centre("typed"));
    ASSERT_TRUE(s.waitForSteps(1));
    ASSERT_TRUE(s.stop());

    const QString name = s.imageName(1);
    const QString ext = s.window().steps().field(1, FieldExtension);
    const QString thumb = thumbnailPath(captureFolder(), name);
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(thumb); }, 5000));
    const QList<std::pair<const char*, QImage>> copies{
        {"step image", s.image(1)},
        {"NO_RECT copy", QImage(captureFolder() + "NO_RECT/" + name + '.' + ext)},
        {"clipboard", QGuiApplication::clipboard()->image()},
    };
    for (const auto& [what, image] : copies) {
        ASSERT_FALSE(image.isNull()) << what;
        const QString text = ocr(image);
        for (const char* secret : kSecrets)
            EXPECT_FALSE(text.contains(QLatin1String(secret), Qt::CaseInsensitive))
                << what << " shows " << secret << ":\n"
                << text.toStdString();
        EXPECT_TRUE(text.contains("Submit")) << what << ":\n" << text.toStdString();
    }
    // The thumbnail is too small to read the caption; nothing private either.
    const QString thumbText = ocr(QImage(thumb));
    for (const char* secret : kSecrets)
        EXPECT_FALSE(thumbText.contains(QLatin1String(secret), Qt::CaseInsensitive)) << secret;
}

TEST_F(Redaction, TypedMailIsMaskedInTheSentence) {
    ASSERT_TRUE(s.start());
    s.click(form.centre("typed"));
    // Keys typed while the press is still held for its picture could reach
    // the form before the click has given the field the focus.
    ASSERT_TRUE(s.waitForSteps(1));
    pause(200);
    s.type("hanako");
    s.hand.sendKey(16, false); // Shift+2 is "@" on the test keyboard
    s.hand.sendKey('2', false);
    s.hand.sendKey('2', true);
    s.hand.sendKey(16, true);
    s.type("example");
    s.hand.sendKey(190, false);
    s.hand.sendKey(190, true);
    s.type("jp");
    ASSERT_TRUE(form.waitForLine("typed length 17")) << form.lines().join(u' ').toStdString();
    pause(200);
    s.click(form.centre("button"));
    ASSERT_TRUE(s.waitForSteps(3)) << s.stepCount();
    ASSERT_TRUE(s.stop());
    EXPECT_TRUE(s.sentence(2).endsWith("\"●●●●\"を入力します。")) << s.sentence(2).toStdString();
    EXPECT_FALSE(s.opList().contains("hanako"));
    EXPECT_FALSE(s.opList().contains("example"));
}

// The GTK form with 200 more labels, read as the accessibility service tells it.
class CrowdedForm : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(form.start());
        pause(300);
        window = desktop.windowRect(form.window());
    }

    FixtureApp form{
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(KLAVORO_GTK_PRIVATEFORM), QStringLiteral("40,40"), QStringLiteral("200")}};
    x11::X11Desktop desktop;
    QRect window;
    const RedactionRules rules{true, redactkind::All, QString()};
};

// The texts of a crowded window, read with the Collection query and walked
// level by level (toolkits without that query): both find every address
// among 200 labels and every value of the form, boxed where it stands.
TEST_F(CrowdedForm, BothWaysFindEveryMatchOfACrowdedWindow) {
    const QRect area = window;
    for (const bool collection : {true, false}) {
        SCOPED_TRACE(collection ? "collection" : "walk");
        x11::AtspiScreenText texts(desktop, true, collection);
        const ScreenTextScan scan = texts.textsIn(form.centre("mail"), area, rules, 20000);
        EXPECT_TRUE(scan.available);
        EXPECT_FALSE(scan.timedOut);
        EXPECT_EQ(scan.unread, 0);
        QHash<QString, QRect> found;
        int passwords = 0;
        for (const ScreenText& t : scan.texts) {
            if (t.password) {
                ++passwords;
                EXPECT_TRUE(t.rect.intersects(form.geometry("password")));
            } else {
                found.insert(t.text, t.rect);
            }
        }
        EXPECT_EQ(passwords, 1);
        for (int i = 0; i < 200; i += 10)
            EXPECT_TRUE(found.contains(QStringLiteral("user%1@example.jp").arg(i))) << i;
        EXPECT_TRUE(found.contains("090-1234-5678"));
        EXPECT_TRUE(found.contains("4111 1111 1111 1111"));
        // The address's own range, not the whole label with its caption.
        const QRect mail = found.value("taro.yamada@example.jp");
        const QRect label = form.geometry("mail");
        EXPECT_TRUE(label.adjusted(-2, -2, 2, 2).contains(mail)) << mail.x() << ',' << mail.y();
        EXPECT_GT(mail.left(), label.left() + 20) << "the caption \"Mail:\" is boxed too";
        EXPECT_EQ(found.size(), 23);
    }
    // No time at all: nothing read, and it says so.
    x11::AtspiScreenText texts(desktop, true);
    const ScreenTextScan late = texts.textsIn(form.centre("mail"), area, rules, 0);
    EXPECT_TRUE(late.texts.empty());
    EXPECT_TRUE(late.timedOut || late.unread > 0);
}

// A picture of part of the window (the default, 300 x 300 about the press):
// walked or queried, it gets every box the whole window's reading has there,
// and nothing else, though the walk does not go into what lies outside.
TEST_F(CrowdedForm, APartOfTheWindowGetsTheWholeWindowsBoxesThere) {
    for (const bool collection : {true, false}) {
        SCOPED_TRACE(collection ? "collection" : "walk");
        x11::AtspiScreenText texts(desktop, true, collection);
        const ScreenTextScan whole = texts.textsIn(form.centre("mail"), window, rules, 20000);
        ASSERT_EQ(whole.unread, 0);
        for (const char* at : {"mail", "password"}) {
            SCOPED_TRACE(at);
            const QRect area =
                QRect(form.centre(at) - QPoint(150, 150), QSize(300, 300)).intersected(window);
            const ScreenTextScan part = texts.textsIn(form.centre(at), area, rules, 20000);
            EXPECT_EQ(part.unread, 0);
            QStringList expected, got;
            for (const ScreenText& t : whole.texts)
                if (t.rect.intersects(area)) expected << boxKey(t);
            for (const ScreenText& t : part.texts)
                got << boxKey(t);
            expected.sort();
            got.sort();
            EXPECT_FALSE(expected.isEmpty());
            EXPECT_EQ(got, expected);
        }
    }
}

// A reading cut short (at the press) goes on afterwards with what it did not
// get to: the two together cover every box of one whole reading, and nothing
// else (a match whose range did not answer in time is boxed whole, its field
// or label: more covered), and a field boxed for want of its label's answer
// is settled by the second.
TEST_F(CrowdedForm, AReadingCutShortGoesOnWhereItStopped) {
    const QRect area = window;
    const auto covers = [](const ScreenText& outer, const ScreenText& inner) {
        return outer.rect.contains(inner.rect) &&
               (outer.password ? inner.password : outer.text == inner.text);
    };
    for (const bool collection : {true, false}) {
        x11::AtspiScreenText texts(desktop, true, collection);
        const ScreenTextScan whole = texts.textsIn(form.centre("mail"), area, rules, 20000);
        ASSERT_EQ(whole.unread, 0);
        EXPECT_FALSE(whole.left);
        int cut = 0;
        // The longer budgets cut short on a loaded machine, where the
        // shorter ones run out before anything is even listed.
        for (const int budgetMs : {1, 3, 6, 10, 20, 40, 80}) {
            SCOPED_TRACE(QStringLiteral("%1, %2 ms")
                             .arg(collection ? QStringLiteral("collection") : QStringLiteral("walk"))
                             .arg(budgetMs)
                             .toStdString());
            const ScreenTextScan first = texts.textsIn(form.centre("mail"), area, rules, budgetMs);
            if (first.unread == 0) continue;
            if (!first.left) {
                EXPECT_TRUE(first.timedOut) << "unread without anything left to go on with";
                continue;
            }
            ++cut;
            const ScreenTextScan rest = texts.textsLeft(*first.left, rules, 20000);
            EXPECT_EQ(rest.unread, 0);
            EXPECT_FALSE(rest.left);
            std::vector<ScreenText> got = rest.texts;
            for (const ScreenText& t : first.texts) {
                const bool settled = t.unsure && std::find(rest.plainFields.begin(),
                                                           rest.plainFields.end(),
                                                           t.rect) != rest.plainFields.end();
                if (!settled) got.push_back(t);
            }
            for (const ScreenText& e : whole.texts)
                EXPECT_TRUE(std::any_of(got.begin(), got.end(),
                                        [&](const ScreenText& g) { return covers(g, e); }))
                    << "not covered: " << boxKey(e).toStdString();
            for (const ScreenText& g : got)
                EXPECT_TRUE(std::any_of(whole.texts.begin(), whole.texts.end(),
                                        [&](const ScreenText& e) { return covers(g, e); }))
                    << "boxed for nothing: " << boxKey(g).toStdString();
        }
        EXPECT_GT(cut, 0) << "no budget cut the reading short";
    }
}

// What redaction and the sentence editor ask of Windows: the texts on
// another process's window, and the input method's open state.
#include "platform/win32/msaaaccessibility.h"
#include "platform/win32/win32desktop.h"
#include "platform/win32/win32inputmethod.h"
#include "redact/treescreentext.h"
#include "tests/win32/testsupport.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace klavoro::win32 {
namespace {

TEST(ScreenTextTest, PersonalDataAndThePasswordFieldOfAnotherProcessAreFound) {
    const QRect rect(200, 150, 400, 260);
    test::Helper target = test::Helper::window(rect, true);
    ASSERT_TRUE(target.hwnd());
    Win32Desktop desktop;
    MsaaAccessibility accessibility(desktop);
    TreeScreenText texts(desktop, accessibility);
    const RedactionRules rules(true, redactkind::All, QString());
    POINT inside{150, 20};
    ClientToScreen(target.hwnd(), &inside);
    const ScreenTextScan scan = texts.textsIn(QPoint(inside.x, inside.y), rect, rules, 2000);
    EXPECT_EQ(scan.unread, 0);
    QStringList found;
    int passwords = 0;
    for (const ScreenText& t : scan.texts) {
        if (t.password)
            ++passwords;
        else
            found << t.text;
        EXPECT_FALSE(t.text.contains(test::kFormTexts[2])) << "a password is never read";
    }
    EXPECT_TRUE(found.contains(test::kFormTexts[0])) << found.join(u'|').toStdString();
    EXPECT_TRUE(found.contains(test::kFormTexts[1])) << found.join(u'|').toStdString();
    EXPECT_EQ(passwords, 1);

    // Outside the area nothing is read.
    const ScreenTextScan none =
        texts.textsIn(QPoint(inside.x, inside.y),
                      QRect(rect.right() - 20, rect.bottom() - 20, 10, 10), rules, 2000);
    EXPECT_TRUE(none.texts.empty());
}

TEST(InputMethodTest, TheFocusedFieldsInputMethodOpensAndCloses) {
    QLineEdit field;
    field.setGeometry(300, 300, 200, 30);
    field.show();
    field.activateWindow();
    field.setFocus();
    test::pumpUntil([&] { return field.hasFocus(); }, 3000);
    Win32InputMethod ime;
    if (!ime.isAvailable()) GTEST_SKIP() << "no input context on this desktop";
    ime.setOpen(true);
    EXPECT_TRUE(ime.isOpen());
    ime.setOpen(false);
    EXPECT_FALSE(ime.isOpen());
}

} // namespace
} // namespace klavoro::win32

#include "export/rtfwriter.h"
#include "export/selectionformat.h"
#include "export/stepdocument.h"
#include "store/capturefolder.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "tests/desktop/testwindow.h"
#include "tests/unit/documentfolder.h"
#include "tests/unit/testutil.h"
#include "ui/frmklavoro.h"
#include "ui/frmrichtxt.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace klavoro;
using namespace klavoro::test;

namespace {

// A window over three steps (two pictures and a text file) whose file
// dialog answers with `answer`.
struct Window {
    DocumentFolder* folder = new DocumentFolder;
    FakeDialogs dialogs;
    QString answer;
    QStringList askedFor;
    QString askedIn;
    std::unique_ptr<frmRichTxt> form;

    Window() {
        folder->addStep(QStringLiteral("[OK](ボタン)を、クリックします。"), "png");
        folder->addStep(QStringLiteral("メモを書きます。"), "txt");
        folder->addStep(QStringLiteral("[閉じる](ボタン)を、クリックします。"), "jpg");
        form = std::make_unique<frmRichTxt>(std::unique_ptr<ExportHost>(folder), &dialogs);
        form->setFileChooser([this](const QString& in, const QString& name, const QString&,
                                    QString*) {
            askedFor << name;
            askedIn = in;
            return answer;
        });
        Settings s;
        s.paragraph = 1;
        form->show();
        form->Form_Load(s);
    }
    QString path(const QString& name) const { return folder->folder() + name; }
};

int pdfPictures(const QString& pdf) {
    QProcess p;
    p.start("pdfimages", {"-list", pdf});
    p.waitForFinished(30000);
    return static_cast<int>(QString::fromUtf8(p.readAllStandardOutput())
                                .split('\n', Qt::SkipEmptyParts)
                                .size()) -
           2;
}

} // namespace

TEST(RichTextWindow, LoadsTheStepsAndLeavesTheClipboardAlone) {
    QApplication::clipboard()->setText(QStringLiteral("ユーザーのコピー"));
    Window w;
    EXPECT_EQ(w.form->windowTitle(), QStringLiteral("リッチテキスト"));
    EXPECT_EQ(w.form->document().begin().text(), QDir(w.folder->folder()).dirName());
    EXPECT_EQ(w.form->document().findBlockByNumber(3).text(),
              QStringLiteral("001 [OK](ボタン)を、クリックします。"));
    EXPECT_EQ(w.form->document().blockCount(), 13);
    // Pictures go in directly; what the user had copied is still there.
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ユーザーのコピー"));
    EXPECT_TRUE(w.form->isDirty());
    EXPECT_FALSE(w.form->cmdUndo->isEnabled());
    EXPECT_FALSE(w.form->cmbFont->currentText().isEmpty());
    EXPECT_FALSE(w.form->cmbFontSize->currentText().isEmpty());
    EXPECT_EQ(w.form->cmdBold->toolTip(), QStringLiteral("太字"));
    EXPECT_TRUE(w.form->cmdBold->isCheckable());
}

TEST(RichTextWindow, SizeBoxRefusesLettersAndToolbarFollowsSelection) {
    Window w;
    // Select first: the box then shows the selection's size.
    w.form->rtfText->selectAll();
    QLineEdit* edit = w.form->cmbFontSize->lineEdit();
    edit->clear();
    QTest::keyClicks(edit, "1x6a");
    EXPECT_EQ(edit->text(), "16");
    edit->setText("15.5"); // not one of the items
    QTest::keyClick(edit, Qt::Key_Return);
    QTextCursor all = w.form->rtfText->textCursor();
    EXPECT_EQ(selectionFormat(all, w.form->document().defaultFont()).pointSize,
              std::optional<double>(15.5));
    EXPECT_TRUE(w.form->cmdUndo->isEnabled());

    // Bold on the date line only (title and headings are bold already): the
    // button follows where the cursor goes.
    QTextCursor first(w.form->document().findBlockByNumber(1));
    first.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    w.form->rtfText->setTextCursor(first);
    w.form->cmdBold->click();
    EXPECT_TRUE(w.form->cmdBold->isChecked());
    EXPECT_EQ(selectionFormat(w.form->rtfText->textCursor(), QFont()).bold,
              std::optional<bool>(true));
    QTextCursor later(w.form->document().findBlockByNumber(7));
    later.movePosition(QTextCursor::NextCharacter);
    w.form->rtfText->setTextCursor(later);
    EXPECT_FALSE(w.form->cmdBold->isChecked());
    w.form->rtfText->setTextCursor(first);
    EXPECT_TRUE(w.form->cmdBold->isChecked());

    // The font dialog applies what was chosen and the toolbar shows it.
    w.form->setFontChooser([](const QFont& initial) -> std::optional<QFont> {
        QFont f = initial;
        f.setItalic(true);
        f.setPointSize(20);
        return f;
    });
    w.form->mnuFont_Click();
    EXPECT_TRUE(w.form->cmdItalic->isChecked());
    EXPECT_EQ(w.form->cmbFontSize->currentText(), "20");
}

TEST(RichTextWindow, SaveAsThenSaveAndErrors) {
    Window w;
    w.answer = w.path("manual");
    ASSERT_TRUE(w.form->mnuSave_Click()); // no path yet: acts as save-as
    EXPECT_EQ(w.askedFor, QStringList{QStringLiteral("無題")});
    EXPECT_EQ(w.askedIn + '/', w.folder->folder()); // beside the steps
    EXPECT_EQ(w.form->filePath(), w.path("manual.rtf"));
    EXPECT_EQ(w.form->windowTitle(), QStringLiteral("リッチテキスト - manual.rtf"));
    EXPECT_EQ(w.dialogs.messages, QStringList{QStringLiteral("保存完了！")});
    EXPECT_FALSE(w.form->isDirty());
    const QByteArray saved = readBytes(w.path("manual.rtf"));
    EXPECT_TRUE(saved.startsWith("{\\rtf1"));
    EXPECT_EQ(saved.count("{\\pict"), 2);

    w.form->rtfText->textCursor().insertText("x");
    EXPECT_TRUE(w.form->isDirty());
    ASSERT_TRUE(w.form->mnuSave_Click());
    EXPECT_EQ(w.askedFor.size(), 1); // saved to the same file without asking
    EXPECT_NE(readBytes(w.path("manual.rtf")), saved);

    w.answer = w.path("no/such/folder/a.rtf");
    EXPECT_FALSE(w.form->mnuSaveAs_Click());
    EXPECT_EQ(w.dialogs.titles.last(), QStringLiteral("保存時エラー発生"));
    EXPECT_EQ(w.form->filePath(), w.path("manual.rtf"));
}

TEST(RichTextWindow, PastedPicturesAndPdf) {
    Window w;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QApplication::clipboard()->setImage(image);
    w.form->rtfText->moveCursor(QTextCursor::End);
    w.form->rtfText->paste();
    EXPECT_EQ(rtfFromDocument(w.form->document()).count("{\\pict"), 3);

    w.answer = w.path("manual.pdf");
    ASSERT_TRUE(w.form->mnuSavePdf_Click());
    EXPECT_EQ(w.askedFor, QStringList{QStringLiteral("無題.pdf")});
    EXPECT_EQ(pdfPictures(w.path("manual.pdf")), 3);
}

TEST(RichTextWindow, ClosingAsksAndAFailedSaveKeepsTheWindow) {
    Window w;
    QSignalSpy closed(w.form.get(), &frmRichTxt::closed);
    w.dialogs.answer = true; // save it
    w.answer.clear();        // ... but the file dialog is cancelled
    EXPECT_FALSE(w.form->close());
    EXPECT_EQ(w.dialogs.questions,
              QStringList{QStringLiteral("変更されています。\r\n保存しますか？")});
    EXPECT_EQ(w.dialogs.titles.last(), QStringLiteral("保存確認"));
    EXPECT_TRUE(w.form->isVisible());
    EXPECT_EQ(closed.count(), 0);

    w.dialogs.answer = false;
    EXPECT_TRUE(w.form->close());
    EXPECT_EQ(closed.count(), 1);

    // Saved and unchanged: no question.
    Window saved;
    saved.answer = saved.path("a.rtf");
    ASSERT_TRUE(saved.form->mnuSaveAs_Click());
    EXPECT_TRUE(saved.form->close());
    EXPECT_TRUE(saved.dialogs.questions.isEmpty());
}

namespace {

void addSteps(frmKlavoro& w, int count) {
    for (int i = 1; i <= count; ++i)
        w.steps().append(buildStepLine(i, QStringLiteral("20261208090000%1").arg(i),
                                       QStringLiteral("手順%1").arg(i), QStringLiteral("jpg"),
                                       QString()));
}

frmRichTxt* openRichTextWindow() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<frmRichTxt*>(top); form && form->isVisible()) return form;
    return nullptr;
}

} // namespace

TEST(RichTextCommands, WindowDisablesTheMainWindowUntilItCloses) {
    ScratchHome home;
    FakeDialogs dialogs;
    TestWindow tw({.dialogs = &dialogs});
    frmKlavoro& w = tw.window();
    w.show();
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuMakeRichText")));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("データがありません！")});
    EXPECT_EQ(openRichTextWindow(), nullptr);

    addSteps(w, 2);
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListMakeRichText")));
    frmRichTxt* form = openRichTextWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(w.isEnabled());
    EXPECT_TRUE(form->isEnabled());
    // The title and the date, an empty line, then the first step.
    EXPECT_EQ(form->document().begin().text(), QDir(captureFolder()).dirName());
    EXPECT_EQ(form->document().findBlockByNumber(3).text(), QStringLiteral("001 手順1"));
    // The window asks about the unsaved document in a box of its own: answer No.
    QTimer::singleShot(300, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    QPointer<frmRichTxt> alive(form);
    EXPECT_TRUE(form->close());
    QTRY_VERIFY(alive.isNull()); // deleted on close
    EXPECT_TRUE(w.isEnabled());
}

TEST(RichTextCommands, WordDocumentWithoutADesktopProgramSaysWhereItIs) {
    ScratchHome home;
    FakeDialogs dialogs;
    TestWindow tw({.dialogs = &dialogs}); // no platform services: nothing can open the file
    frmKlavoro& w = tw.window();
    addSteps(w, 3);
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuMakeWordDoc")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString path = captureFolder() + QStringLiteral("操作説明.docx");
    EXPECT_TRUE(dialogs.messages[0].contains(QDir::toNativeSeparators(path)));
    EXPECT_EQ(dialogs.titles[0], QStringLiteral("MSワード文書作成"));
    EXPECT_TRUE(QFileInfo::exists(path));
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListMakeWordDoc")));
    EXPECT_TRUE(QFileInfo::exists(captureFolder() + QStringLiteral("操作説明(2).docx")));
}

TEST(RichTextCommands, PdfAndMarkdownBesideTheOtherExportsInBothMenus) {
    ScratchHome home;
    FakeDialogs dialogs;
    TestWindow tw({.dialogs = &dialogs}); // no platform services: nothing can open the files
    frmKlavoro& w = tw.window();
    for (const char* name : {"mnuMakePdf", "mnuListMakePdf"}) {
        auto* action = w.findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), QStringLiteral("PDFファイル作成"));
    }
    for (const char* name : {"mnuMakeMarkdown", "mnuListMakeMarkdown"}) {
        auto* action = w.findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), QStringLiteral("Markdownファイル作成"));
    }
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuMakePdf")));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("データがありません！")});

    addSteps(w, 2);
    dialogs.messages.clear();
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuMakePdf")));
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListMakePdf")));
    ASSERT_TRUE(w.runCommand(QStringLiteral("mnuListMakeMarkdown")));
    for (const QString& name : {QStringLiteral("操作説明.pdf"), QStringLiteral("操作説明(2).pdf"),
                                QStringLiteral("操作説明.md")}) {
        EXPECT_TRUE(QFileInfo::exists(captureFolder() + name)) << name.toStdString();
        EXPECT_EQ(dialogs.messages.filter(QDir::toNativeSeparators(captureFolder() + name)).size(),
                  1)
            << name.toStdString();
    }
}

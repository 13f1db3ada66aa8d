#include "ui/frmmakehtml.h"
#include "platform/shell.h"
#include "store/dialogs.h"
#include "store/notices.h"
#include "store/settings.h"
#include "store/stepline.h"
#include "store/steplist.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

using namespace klavoro;

namespace {

class RecordingDialogs : public Dialogs {
public:
    void message(const QString& text, const QString& title) override {
        messages << text;
        titles << title;
    }
    bool askYesNo(const QString&, const QString&, bool) override { return false; }
    QStringList messages, titles;
};

class RecordingShell : public Shell {
public:
    bool open(const QString& path) override {
        opened << path;
        return true;
    }
    bool showFolder(const QString&) override { return true; }
    QStringList opened;
};

class HookedNotices : public SilentNotices {
public:
    void showProgress(const QString& text, int ms, bool centred) override {
        SilentNotices::showProgress(text, ms, centred);
        texts << text;
        if (onProgress) onProgress(text);
    }
    QStringList texts;
    std::function<void(const QString&)> onProgress;
};

// Clicks the indicator: a stretched box's centre lies beyond its caption.
void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

struct HtmlDialog {
    QTemporaryDir dir;
    Settings settings;
    StepList steps;
    RecordingDialogs dialogs;
    RecordingShell shell;
    HookedNotices notices;
    QString folder = dir.path() + "/data/";
    std::optional<QColor> nextColour;

    HtmlDialog() {
        QDir().mkpath(folder);
        QDir().mkpath(dir.path() + "/parts/js");
        for (int i = 1; i <= 120; ++i)
            steps.append(buildStepLine(i, "", QStringLiteral("手順 %1").arg(i), "", ""));
    }
    MakeHtmlContext context() {
        MakeHtmlContext c;
        c.steps = &steps;
        c.settings = &settings;
        c.dialogs = &dialogs;
        c.notices = &notices;
        c.shell = &shell;
        c.paths = {folder, dir.path() + "/parts/js"};
        c.chooseColour = [this](const QColor&, QWidget*) { return nextColour; };
        return c;
    }
    bool pageWritten() const { return QFile::exists(folder + "index.htm"); }
};

} // namespace

TEST(MakeHtmlDialog, ShowsTheSettingsAndStoresTheAtOnceOnes) {
    HtmlDialog h;
    h.settings.html = 1;
    h.settings.htmlBorder = 0;
    h.settings.htmlBorderWeight = 5;
    h.settings.htmlBorderColor = 0x0000FF;
    h.settings.htmlBorderDouble = 1;
    frmMakeHtml form(h.context());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("HTMLファイルの作成"));
    EXPECT_TRUE(form.OptHtml[1]->isChecked());
    EXPECT_FALSE(form.chkBorder->isChecked());
    EXPECT_FALSE(form.frBorder->isEnabled());
    EXPECT_EQ(form.cmbBorderWeight->currentText(), "5");
    EXPECT_EQ(form.swatchColour(), QColor(255, 0, 0));
    EXPECT_TRUE(form.chkBorderDouble->isChecked());

    clickBox(form.OptHtml[0]);
    EXPECT_EQ(h.settings.html, 0);
    clickBox(form.chkBorder);
    EXPECT_EQ(h.settings.htmlBorder, 1);
    EXPECT_TRUE(form.frBorder->isEnabled());
    form.cmbBorderWeight->setCurrentIndex(2);
    EXPECT_EQ(h.settings.htmlBorderWeight, 2);
    // The colour and the double line wait for 作成開始; a cancelled chooser changes nothing.
    QTest::mouseClick(form.cmdBorderColor, Qt::LeftButton);
    EXPECT_EQ(form.swatchColour(), QColor(255, 0, 0));
    h.nextColour = QColor(0, 128, 255);
    QTest::mouseClick(form.cmdBorderColor, Qt::LeftButton);
    EXPECT_EQ(form.swatchColour(), QColor(0, 128, 255));
    clickBox(form.chkBorderDouble);
    EXPECT_EQ(h.settings.htmlBorderColor, 0x0000FF);
    EXPECT_EQ(h.settings.htmlBorderDouble, 1);

    QTest::mouseClick(form.cmdClose[0], Qt::LeftButton);
    EXPECT_EQ(h.settings.htmlBorderColor, 0xFF8000);
    EXPECT_EQ(h.settings.htmlBorderDouble, 0);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(h.pageWritten());
    EXPECT_EQ(h.shell.opened, QStringList{h.folder + "index.htm"});
    EXPECT_EQ(h.notices.texts.last(), QStringLiteral("ファイル名：") + h.folder + "index.htm");
    EXPECT_FALSE(QDir(h.folder + "Thumb").exists()); // full-size style makes no thumbnails
}

TEST(MakeHtmlDialog, CancelWhileWritingStopsAndABusyClickIsIgnored) {
    HtmlDialog h;
    frmMakeHtml form(h.context());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    int starts = 0;
    h.notices.onProgress = [&](const QString& text) {
        if (text.startsWith(QStringLiteral("HTML作成中・・・119"))) {
            ++starts;
            EXPECT_TRUE(form.isBusy());
            form.cmdClose[0]->click(); // ignored: a page is being written
        }
        if (text.startsWith(QStringLiteral("HTML作成中・・・100"))) form.cmdClose[1]->click();
    };
    form.cmdClose[0]->click();
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(form.cancelFlag());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(h.pageWritten());
    EXPECT_TRUE(h.shell.opened.isEmpty());
    EXPECT_FALSE(form.isBusy());
}

TEST(MakeHtmlDialog, AnEmptyListGetsAMessageAndNoDialog) {
    HtmlDialog h;
    h.steps.clear();
    bool dialogShown = false;
    QTimer::singleShot(200, [&] {
        if (QApplication::activeModalWidget()) {
            dialogShown = true;
            QApplication::activeModalWidget()->close();
        }
    });
    runMakeHtml(h.context(), nullptr);
    EXPECT_EQ(h.dialogs.messages, QStringList{QStringLiteral("データがありません！")});
    EXPECT_EQ(h.dialogs.titles, QStringList{QStringLiteral("HTML作成不可")});
    QTest::qWait(300);
    EXPECT_FALSE(dialogShown);
}

TEST(MakeHtmlDialog, ThumbnailStyleFromTheMenuCommand) {
    HtmlDialog h;
    h.settings.html = 1;
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<frmMakeHtml*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        form->cmdClose[0]->click();
    });
    runMakeHtml(h.context(), nullptr);
    EXPECT_TRUE(h.pageWritten());
    EXPECT_EQ(h.shell.opened.size(), 1);
}

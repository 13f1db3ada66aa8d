#pragma once

#include "export/htmlmanual.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace klavoro {

class Dialogs;
class Notices;
class Shell;
class StepList;
struct Settings;

// What the HTML dialog works with; the main window fills it in.
struct MakeHtmlContext {
    const StepList* steps = nullptr;
    Settings* settings = nullptr;
    Dialogs* dialogs = nullptr;
    Notices* notices = nullptr;
    Shell* shell = nullptr;                     // null: the page is not opened
    std::function<void(const QString&)> status; // the status line; may be empty
    HtmlManualPaths paths;
    // Asks for a colour, starting from the given one; no value when cancelled.
    std::function<std::optional<QColor>(const QColor&, QWidget*)> chooseColour;
};

// "HTMLファイルの作成": image style and border, then writes the manual.
class frmMakeHtml : public QDialog, private HtmlManualHost {
    Q_OBJECT
public:
    explicit frmMakeHtml(MakeHtmlContext context, QWidget* parent = nullptr);

    QGroupBox* frHtml = nullptr;
    QRadioButton* OptHtml[2] = {};
    QCheckBox* chkBorder = nullptr;
    QGroupBox* frBorder = nullptr;
    QComboBox* cmbBorderWeight = nullptr;
    QPushButton* cmdBorderColor = nullptr;
    QCheckBox* chkBorderDouble = nullptr;
    QPushButton* cmdClose[2] = {};

    QColor swatchColour() const { return m_colour; }
    bool isBusy() const { return m_busy; }
    bool cancelFlag() const { return m_cancel; }
    // The outcome of the last "作成開始" (Cancelled before any).
    HtmlResult pageResult() const { return m_result; }

    void cmdClose_Click(int index);
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdBorderColor_Click();
    void setSwatch(const QColor& colour);
    void storeSettings();

    // HtmlManualHost
    void showProgress(const QString& text, int displayMs) override;
    void setStatus(const QString& text) override;
    void letEventsRun() override;
    bool cancelRequested() const override { return m_cancel; }
    void openPage(const QString& path) override;

    MakeHtmlContext m_context;
    QColor m_colour;
    bool m_cancel = false;
    bool m_busy = false; // the "Go" mark of 作成開始 while the page is written
    HtmlResult m_result = HtmlResult::Cancelled;
};

// mnuMakeHtml: refuses an empty list, otherwise shows the dialog modally.
void runMakeHtml(MakeHtmlContext context, QWidget* parent);

// A colour as the settings store it (blue-green-red).
qint32 bgrFromColour(const QColor& colour);

} // namespace klavoro

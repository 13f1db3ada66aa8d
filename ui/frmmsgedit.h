#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace klavoro {

class InputMethod;
class MessageEditSession;

// The sentence editor "編集": edits the selected step's sentence and can walk
// to the previous and next step. The logic is in MessageEditSession.
class frmMsgEdit : public QDialog {
    Q_OBJECT
public:
    // `ime` may be null or unavailable (no input-method framework): the label
    // then says English and `edit mode` is left as it was.
    frmMsgEdit(MessageEditSession& session, InputMethod* ime, QWidget* parent = nullptr);

    // Size and font from the settings, the place from the pointer and the
    // sentence box's left edge (screen coordinates), the selected step loaded.
    void prepare(QPoint pointer, int sentenceLeft);

    QPlainTextEdit* txtMsg = nullptr;
    QLabel* lblIME = nullptr;
    QLabel* lblMv[2] = {nullptr, nullptr};         // "＜", "＞"
    QPushButton* cmdClose[2] = {nullptr, nullptr}; // "Ok", "Cancel"
    QTimer* Timer_Monitor = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showText(const QString& text);
    void txtMsg_Change();
    void Timer_Monitor_Timer();
    void lblIME_Click();
    void lblMv_Click(int index);
    void cmdClose_Click(int index);

    MessageEditSession& m_session;
    InputMethod* m_ime;
    bool m_loading = false;
    bool m_imeToApply = false;
};

// Opens the editor modally on the selected step. True when it closed with Ok.
bool runMessageEditor(MessageEditSession& session, InputMethod* ime, QWidget* parent,
                      QPoint pointer, int sentenceLeft);

} // namespace klavoro

#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace klavoro {

class InputMethod;
class StepList;
class StepSearch;
class StepSearchHost;

// "検索": finds steps of the main window's list by text and replaces text in
// their sentences. Non-modal; its search position lives as long as it does.
class frmSearch : public QWidget {
    Q_OBJECT
public:
    // `inputMethod` may be null: the label then reads "English" for good.
    frmSearch(StepList& steps, StepSearchHost& host, InputMethod* inputMethod,
              QWidget* parent = nullptr);
    ~frmSearch() override;

    StepSearch& search() { return *m_search; }

    QLabel* lblStrSearch = nullptr;
    QLineEdit* txtStrSearch = nullptr;
    std::array<QPushButton*, 4> cmdSearch{}; // 次を検索, 全て検索, 置換して次, 全て置換
    QCheckBox* chkReplace = nullptr;
    QGroupBox* frReplace = nullptr;
    QLabel* lblReplace = nullptr;
    QLineEdit* txtReplace = nullptr;
    QCheckBox* chkCompare = nullptr;
    QLabel* lblCnt = nullptr;
    QPlainTextEdit* txtFound = nullptr;
    QGroupBox* frLblJump = nullptr;
    std::array<QPushButton*, 2> cmdLblJump{};
    QLabel* lblIME = nullptr;

    static inline const QString kNoMatch = QStringLiteral("一致無し");


protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void cmdSearch_Click(int index);
    void chkReplace_Click();
    void chkCompare_Click();
    void txtStrSearch_Change();
    void lblIME_Click();
    void Timer_IME_Timer();
    void Timer_Focus_Timer();
    void updateButtons();
    void fitHeight();
    QString hitText(int index) const;
    void showHits(const QList<int>& hits, const QString& countText);

    StepList& m_steps;
    InputMethod* m_inputMethod;
    std::unique_ptr<StepSearch> m_search;
    QTimer* m_imeTimer;
    bool m_opened = false;
};

} // namespace klavoro

#pragma once

#include "store/oplist.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QListView;

namespace klavoro {

class QtDialogs;
class StepList;

// The main window: the step list of the capture folder and its status line.
class frmKlavoro : public QMainWindow, public OpListHost {
    Q_OBJECT
public:
    explicit frmKlavoro(QWidget* parent = nullptr);
    ~frmKlavoro() override;

    StepList& steps() { return *m_steps; }
    OperationList& operationList() { return *m_opList; }

    // Empties the list and loads the capture folder's OpList.txt.
    void reloadList();
    QString statusText() const;

    // OpListHost
    QString currentStepText() const override { return m_currentStep; }
    void showProgress(const QString& text) override;
    void setCaption(const QString& caption) override;
    void setStatus(const QString& status) override;
    void setDetailFields(const Detail& detail) override;
    void selectStep(int n) override;
    void bringToFront() override;

    QListView* lstRecord = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onSelectionChanged();

    std::unique_ptr<QtDialogs> m_dialogs;
    StepList* m_steps = nullptr;
    std::unique_ptr<OperationList> m_opList;
    QLabel* m_status = nullptr;
    QString m_currentStep;
};

} // namespace klavoro

#pragma once

#include "edit/filecheck.h"

#include <QDialog>

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

namespace klavoro {

class Dialogs;
class StepList;

// "リスト／ファイル整合チェック": lists the files of the capture folder (or
// of its Thumb folder) that no step uses and deletes the ones chosen.
class frmCheckFile : public QDialog {
    Q_OBJECT
public:
    // `imageNames`: the image names of every step, taken now. Without
    // `dialogs` the window shows its own message boxes over itself.
    frmCheckFile(const QStringList& imageNames, const QString& captureFolder,
                 Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~frmCheckFile() override;

    QLineEdit* txtFolderPath = nullptr;
    QFrame* frCnt = nullptr;
    QLabel* lblCnt = nullptr;
    QPushButton* cmdFile[2] = {nullptr, nullptr}; // images, thumbnails
    QListWidget* lstFileList = nullptr;
    QMenu* mnuPopup = nullptr;
    QAction* mnuDel = nullptr;
    QAction* mnuSelectAll = nullptr;

    void cmdFile_Click(int index);
    void mnuDel_Click();
    void mnuSelectAll_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCount(int n);

    FileCheck m_check;
    QString m_captureFolder;
    std::unique_ptr<Dialogs> m_ownDialogs;
    Dialogs& m_dialogs;
};

// Opens the check window modally over `parent` for the steps of the list in
// the current capture folder (the settings dialog's entry point).
void showFileCheck(const StepList& steps, QWidget* parent);

} // namespace klavoro

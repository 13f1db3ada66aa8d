#include "ui/frmcheckfile.h"

#include "store/capturefolder.h"
#include "store/dialogs.h"
#include "store/events.h"
#include "store/logs.h"
#include "ui/qtdialogs.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace klavoro {

frmCheckFile::frmCheckFile(const QStringList& imageNames, const QString& captureFolder,
                           Dialogs* dialogs, QWidget* parent)
    : QDialog(parent), m_check(imageNames), m_captureFolder(captureFolder),
      m_ownDialogs(dialogs ? nullptr : std::make_unique<QtDialogs>(this)),
      m_dialogs(dialogs ? *dialogs : *m_ownDialogs) {
    setObjectName(QStringLiteral("frmCheckFile"));
    setWindowTitle(QStringLiteral("リスト／ファイル整合チェック"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    txtFolderPath = new QLineEdit(this);
    txtFolderPath->setObjectName(QStringLiteral("txtFolderPath"));
    txtFolderPath->setReadOnly(true);

    const QString captions[2] = {QStringLiteral("画像ファイルチェック"),
                                 QStringLiteral("サムネイルチェック")};
    auto* buttons = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        cmdFile[i] = new QPushButton(captions[i], this);
        cmdFile[i]->setObjectName(QStringLiteral("cmdFile_%1").arg(i));
        cmdFile[i]->setAutoDefault(false);
        connect(cmdFile[i], &QPushButton::clicked, this, [this, i] { cmdFile_Click(i); });
        buttons->addWidget(cmdFile[i]);
    }
    frCnt = new QFrame(this);
    frCnt->setObjectName(QStringLiteral("frCnt"));
    lblCnt = new QLabel(frCnt);
    lblCnt->setObjectName(QStringLiteral("lblCnt"));
    auto* cnt = new QHBoxLayout(frCnt);
    cnt->setContentsMargins(0, 0, 0, 0);
    cnt->addWidget(lblCnt);
    frCnt->hide();
    buttons->addWidget(frCnt);
    buttons->addStretch(1);

    lstFileList = new QListWidget(this);
    lstFileList->setObjectName(QStringLiteral("lstFileList"));
    lstFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstFileList->installEventFilter(this);
    lstFileList->viewport()->installEventFilter(this);

    mnuPopup = new QMenu(this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuDel = mnuPopup->addAction(QStringLiteral("削除"));
    mnuDel->setObjectName(QStringLiteral("mnuDel"));
    mnuSelectAll = mnuPopup->addAction(QStringLiteral("全て選択"));
    mnuSelectAll->setObjectName(QStringLiteral("mnuSelectAll"));
    connect(mnuDel, &QAction::triggered, this, &frmCheckFile::mnuDel_Click);
    connect(mnuSelectAll, &QAction::triggered, this, &frmCheckFile::mnuSelectAll_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtFolderPath);
    layout->addLayout(buttons);
    layout->addWidget(lstFileList, 1);
    resize(520, 420);
}

frmCheckFile::~frmCheckFile() = default;

void frmCheckFile::showCount(int n) {
    lblCnt->setText(QString::number(n));
    letEventsRun();
}

void frmCheckFile::cmdFile_Click(int index) {
    const auto kind = index == 1 ? FileCheck::Kind::Thumbnails : FileCheck::Kind::Images;
    cmdFile[index]->setEnabled(false);
    const QString folder = FileCheck::folderFor(kind, m_captureFolder);
    lstFileList->clear();
    txtFolderPath->setText(folder);
    lblCnt->clear();
    frCnt->show();
    QStringList unused;
    {
        LongOperation listing;
        unused = m_check.unusedFiles(kind, folder, [this](int n) { showCount(n); });
    }
    lstFileList->addItems(unused);
    frCnt->hide();
    if (lstFileList->count() > 0)
        m_dialogs.message(
            QStringLiteral("表示されたファイルはリストに存在しません。削除可能です。"),
            QStringLiteral("不要ファイル"));
    else
        m_dialogs.message(QStringLiteral("リストとファイルに不整合はありません。"),
                          QStringLiteral("正常"));
    cmdFile[index]->setEnabled(true);
}

void frmCheckFile::mnuDel_Click() {
    if (lstFileList->selectedItems().isEmpty()) return;
    if (!m_dialogs.askOkCancelDefaultCancel(
            QStringLiteral("選択ファイルを削除します。よろしいですか？"),
            QStringLiteral("ファイル削除")))
        return;
    lstFileList->setUpdatesEnabled(false);
    frCnt->show();
    const QString folder = txtFolderPath->text();
    QStringList failed;
    LongOperation deleting;
    for (int i = lstFileList->count() - 1; i >= 0; --i) {
        if (i % 100 == 0) showCount(i);
        QListWidgetItem* item = lstFileList->item(i);
        if (!item->isSelected()) continue;
        // An entry whose file is still there stays listed (and selected).
        if (!deleteCheckedFiles(folder, {item->text()}).isEmpty()) {
            failed.prepend(item->text());
            continue;
        }
        delete lstFileList->takeItem(i);
    }
    frCnt->hide();
    lstFileList->setUpdatesEnabled(true);
    if (!failed.isEmpty()) {
        QString text = QStringLiteral("次のファイルは削除できませんでした。");
        for (int i = 0; i < failed.size() && i < 20; ++i)
            text += QStringLiteral("\r\n　") + failed[i];
        if (failed.size() > 20) text += QStringLiteral("\r\n　ほか %1 件").arg(failed.size() - 20);
        writeLog(text);
        m_dialogs.message(text, QStringLiteral("ファイル削除"));
    }
}

void frmCheckFile::mnuSelectAll_Click() {
    lstFileList->setUpdatesEnabled(false);
    lstFileList->selectAll();
    lstFileList->setUpdatesEnabled(true);
}

bool frmCheckFile::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstFileList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        mnuDel_Click();
        return true;
    }
    if (watched == lstFileList || watched == lstFileList->viewport()) {
        if (event->type() == QEvent::ContextMenu) {
            if (!lstFileList->selectedItems().isEmpty())
                mnuPopup->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void showFileCheck(const StepList& steps, QWidget* parent) {
    frmCheckFile form(FileCheck::imageNamesOf(steps), captureFolder(), nullptr, parent);
    form.exec();
}

} // namespace klavoro

#include "ui/frmklavoro.h"

#include "store/capturefolder.h"
#include "store/events.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "ui/qtdialogs.h"
#include "ui/steplistdelegate.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QStatusBar>

namespace klavoro {

frmKlavoro::frmKlavoro(QWidget* parent)
    : QMainWindow(parent), m_dialogs(std::make_unique<QtDialogs>(this)),
      m_steps(new StepList(this)),
      m_opList(std::make_unique<OperationList>(*m_steps, *this, *m_dialogs)) {
    setObjectName(QStringLiteral("frmKlavoro"));
    lstRecord = new QListView(this);
    lstRecord->setObjectName(QStringLiteral("lstRecord"));
    lstRecord->setModel(m_steps);
    lstRecord->setItemDelegate(new StepListDelegate(lstRecord));
    lstRecord->setUniformItemSizes(true); // keeps 15000 lines fast
    lstRecord->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecord->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCentralWidget(lstRecord);
    connect(lstRecord->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmKlavoro::onSelectionChanged);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    statusBar()->addWidget(m_status, 1);
    resize(760, 480);
    setWindowTitle(windowTitle());
}

frmKlavoro::~frmKlavoro() = default;

void frmKlavoro::reloadList() {
    m_steps->clear();
    m_opList->load();
    setWindowTitle(klavoro::windowTitle());
}

QString frmKlavoro::statusText() const {
    return m_status->text();
}

void frmKlavoro::showProgress(const QString& text) {
    // The progress window comes with the auxiliary windows; until then the
    // status line carries the text.
    if (!text.isEmpty()) m_status->setText(text);
    letEventsRun();
}

void frmKlavoro::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void frmKlavoro::setStatus(const QString& status) {
    m_status->setText(status);
}

void frmKlavoro::setDetailFields(const Detail& detail) {
    m_currentStep = detail.no;
}

void frmKlavoro::selectStep(int n) {
    lstRecord->clearSelection();
    const int count = m_steps->count();
    if (count == 0) return;
    const int row = std::min(n, count) - 1;
    const QModelIndex idx = m_steps->index(row);
    lstRecord->setCurrentIndex(idx);
    lstRecord->scrollTo(idx);
}

void frmKlavoro::bringToFront() {
    raise();
    activateWindow();
}

void frmKlavoro::onSelectionChanged() {
    const QModelIndex idx = lstRecord->currentIndex();
    const int n = idx.isValid() ? idx.row() + 1 : 0;
    m_steps->setSelectedStep(n);
    if (n > 0) m_currentStep = QString::number(n);
}

void frmKlavoro::closeEvent(QCloseEvent* event) {
    m_opList->save();
    event->accept();
}

} // namespace klavoro

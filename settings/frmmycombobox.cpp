#include "settings/frmmycombobox.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace klavoro {

frmMyComboBox::frmMyComboBox(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setObjectName(QStringLiteral("frmMyComboBox"));
    setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    lstItems = new QListWidget(this);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    lstItems->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(lstItems);
    connect(lstItems, &QListWidget::itemClicked, this, &frmMyComboBox::pick);
}

void frmMyComboBox::showUnder(QWidget* box, QWidget* button, const QStringList& items, int rows,
                              const QString& current) {
    m_button = button;
    lstItems->clear();
    lstItems->addItems(items);
    const int match = int(items.indexOf(current));
    lstItems->setCurrentRow(match >= 0 ? match : 0);
    const int rowHeight = qMax(lstItems->sizeHintForRow(0), fontMetrics().height());
    const int shown = qBound(1, rows, qMax(1, int(items.size())));
    const int width =
        button ? button->geometry().right() - box->geometry().left() + 1 : box->width();
    resize(qMax(width, box->width()), shown * rowHeight + 2 * lstItems->frameWidth() + 2);
    move(box->mapToGlobal(QPoint(0, box->height())));
    show();
    lstItems->setFocus();
    if (lstItems->currentItem()) lstItems->scrollToItem(lstItems->currentItem());
}

void frmMyComboBox::mousePressEvent(QMouseEvent* event) {
    if (!rect().contains(event->position().toPoint())) {
        // Without this the press that closes the list would reach the button
        // again and open it once more.
        if (m_button && QRect(m_button->mapToGlobal(QPoint(0, 0)), m_button->size())
                            .contains(event->globalPosition().toPoint()))
            setAttribute(Qt::WA_NoMouseReplay);
        close();
        return;
    }
    QFrame::mousePressEvent(event);
}

void frmMyComboBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

void frmMyComboBox::pick() {
    const QListWidgetItem* item = lstItems->currentItem();
    const QString text = item ? item->text() : QString();
    close();
    if (item) emit picked(text);
}

} // namespace klavoro

#include "ui/qtdialogs.h"

#include "store/events.h"
#include "store/logs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace klavoro {

namespace {

QString buttonText(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Yes:
        return QStringLiteral("はい");
    case QMessageBox::No:
        return QStringLiteral("いいえ");
    case QMessageBox::Cancel:
        return QStringLiteral("キャンセル");
    default:
        return QStringLiteral("OK");
    }
}

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preselected) {
    QMessageBox box(icon, title, text, buttons, parent);
    for (QMessageBox::StandardButton b :
         {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        if (QAbstractButton* button = box.button(b)) button->setText(buttonText(b));
    box.setDefaultButton(preselected);
    // Closing the box answers as its escape button: Cancel, else No, else OK.
    const int result = box.exec();
    if (box.clickedButton() == nullptr) return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                                                                                     : QMessageBox::No;
    return static_cast<QMessageBox::StandardButton>(result);
}

} // namespace

QtDialogs::QtDialogs(QWidget* form) : m_parent([form = QPointer<QWidget>(form)] { return form.data(); }) {}

// Over the window the user works in: a modal dialog, another window of ours,
// else the given window while it shows.
QWidget* QtDialogs::parentWindow() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    QWidget* parent = m_parent ? m_parent() : nullptr;
    return parent && parent->isVisible() && !parent->isMinimized() ? parent : nullptr;
}

void QtDialogs::message(const QString& text, const QString& title) {
    if (LongOperations::instance().isCloseHeld()) {
        writeLog(title + QStringLiteral(": ") + text);
        return;
    }
    ask(parentWindow(), QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtDialogs::askYesNo(const QString& text, const QString& title, bool defaultYes) {
    return ask(parentWindow(), QMessageBox::Question, title, text,
               QMessageBox::Yes | QMessageBox::No,
               defaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::askYesNoCancel(const QString& text, const QString& title,
                                          Answer preselected) {
    const auto def = preselected == Answer::Yes  ? QMessageBox::Yes
                     : preselected == Answer::No ? QMessageBox::No
                                                 : QMessageBox::Cancel;
    switch (ask(parentWindow(), QMessageBox::Question, title, text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, def)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

bool QtDialogs::askOkCancel(const QString& text, const QString& title) {
    return ask(parentWindow(), QMessageBox::Question, title, text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

bool QtDialogs::askOkCancelDefaultCancel(const QString& text, const QString& title) {
    return ask(parentWindow(), QMessageBox::Question, title, text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace klavoro

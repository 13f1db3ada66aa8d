#include "ui/qtdialogs.h"

#include <QMessageBox>

namespace klavoro {

void QtDialogs::message(const QString& text, const QString& title) {
    QMessageBox::information(m_parent, title, text, QMessageBox::Ok);
}

bool QtDialogs::askYesNo(const QString& text, const QString& title, bool defaultYes) {
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 defaultYes ? QMessageBox::Yes : QMessageBox::No) ==
           QMessageBox::Yes;
}

} // namespace klavoro

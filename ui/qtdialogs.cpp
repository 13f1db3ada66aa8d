#include "ui/qtdialogs.h"

#include <QMessageBox>

namespace klavoro {

void QtDialogs::message(const QString& text, const QString& title) {
    if (m_override) return m_override->message(text, title);
    QMessageBox::information(m_parent, title, text, QMessageBox::Ok);
}

bool QtDialogs::askYesNo(const QString& text, const QString& title, bool defaultYes) {
    if (m_override) return m_override->askYesNo(text, title, defaultYes);
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 defaultYes ? QMessageBox::Yes : QMessageBox::No) ==
           QMessageBox::Yes;
}

Dialogs::Answer QtDialogs::askYesNoCancel(const QString& text, const QString& title,
                                          Answer preselected) {
    if (m_override) return m_override->askYesNoCancel(text, title, preselected);
    const auto def = preselected == Answer::Yes  ? QMessageBox::Yes
                     : preselected == Answer::No ? QMessageBox::No
                                                 : QMessageBox::Cancel;
    switch (QMessageBox::question(m_parent, title, text,
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
    if (m_override) return m_override->askOkCancel(text, title);
    return QMessageBox::question(m_parent, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

bool QtDialogs::askOkCancelDefaultCancel(const QString& text, const QString& title) {
    return QMessageBox::question(m_parent, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace klavoro

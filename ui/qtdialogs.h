#pragma once

#include "store/dialogs.h"

class QWidget;

namespace klavoro {

// Message boxes of the user interface.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : m_parent(parent) {}
    void message(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title, bool defaultYes) override;
    Answer askYesNoCancel(const QString& text, const QString& title, Answer preselected) override;
    bool askOkCancel(const QString& text, const QString& title) override;
    bool askOkCancelDefaultCancel(const QString& text, const QString& title) override;

private:
    QWidget* m_parent;
};

} // namespace klavoro

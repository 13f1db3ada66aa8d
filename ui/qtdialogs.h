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

    // Tests answer for the user: every question goes to `other` while it is set.
    void setOverride(Dialogs* other) { m_override = other; }

private:
    QWidget* m_parent;
    Dialogs* m_override = nullptr;
};

} // namespace klavoro

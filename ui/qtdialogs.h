#pragma once

#include "store/dialogs.h"

#include <functional>

class QWidget;

namespace klavoro {

// Message boxes of the user interface, with Japanese buttons whatever the
// locale and whether or not Qt's translations are installed.
class QtDialogs : public Dialogs {
public:
    // `parent` names the window the boxes sit over when they show (the main
    // window); without one, or while it is hidden, the active window.
    explicit QtDialogs(std::function<QWidget*()> parent = {}) : m_parent(std::move(parent)) {}
    // The boxes of a form sit over the form.
    explicit QtDialogs(QWidget* form);

    void message(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title, bool defaultYes) override;
    Answer askYesNoCancel(const QString& text, const QString& title, Answer preselected) override;
    bool askOkCancel(const QString& text, const QString& title) override;
    bool askOkCancelDefaultCancel(const QString& text, const QString& title) override;

private:
    QWidget* parentWindow() const;

    std::function<QWidget*()> m_parent;
};

} // namespace klavoro

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

private:
    QWidget* m_parent;
};

} // namespace klavoro

#pragma once

#include <QString>

namespace klavoro {

// Message boxes, provided by the user interface. The logic asks through this
// so that it never includes a widget header and tests can answer for the user.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box with an OK button.
    virtual void message(const QString& text, const QString& title) = 0;
    // Yes and No buttons; `defaultYes` chooses the preselected one. True for Yes.
    virtual bool askYesNo(const QString& text, const QString& title, bool defaultYes) = 0;
};

} // namespace klavoro

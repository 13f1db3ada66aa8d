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

    enum class Answer { Yes, No, Cancel };
    // Yes, No and Cancel buttons with `preselected` chosen; closing the box is Cancel.
    virtual Answer askYesNoCancel(const QString& text, const QString& title, Answer preselected) {
        (void)text, (void)title, (void)preselected;
        return Answer::Cancel;
    }
    // OK and Cancel buttons. True for OK.
    virtual bool askOkCancel(const QString& text, const QString& title) {
        (void)text, (void)title;
        return false;
    }
    // The same with Cancel preselected, for answers that cannot be undone.
    virtual bool askOkCancelDefaultCancel(const QString& text, const QString& title) {
        return askOkCancel(text, title);
    }
};

} // namespace klavoro

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace klavoro {

class Dialogs;
class Notices;
class OperationList;
class StepEditHost;
class StepList;

// Deleting steps with their files. A step goes only with all of its files
// (image, NO_RECT copy, thumbnail); a step whose files cannot be moved out
// stays in the list and the user is told which files. The list on disk is
// brought in line before the moved files are removed, so an interruption
// never leaves OpList.txt naming files that are gone.
class StepDeletion {
public:
    StepDeletion(StepList& steps, OperationList& opList, StepEditHost& host, Dialogs& dialogs,
                 Notices& notices);

    // The commands of the main menu and the list menu. Each asks first unless
    // `no confirm` is 1; deleting the checked steps always asks.
    void deleteSelected();
    void deleteUpper();
    void deleteLower();
    void deleteChecked();
    // `ask` false: no question (starting a new recording over the old one).
    // True when every step went.
    bool deleteAll(bool ask = true);

    struct Outcome {
        int removed = 0;
        QStringList failedFiles; // files that kept their step
        bool aborted = false;    // nothing changed (no tmp_del, list not saved)
    };
    // Deletes steps first..last (numbers outside the list are skipped) and
    // updates `txtNo`; no question, no selection change.
    Outcome deleteRange(int first, int last);

    // The question texts (S selected, N count, F folder).
    static QString confirmSelectedText(int s);
    static QString confirmUpperText(int s);
    static QString confirmLowerText(int s, int n);
    static QString confirmAllText(const QString& folder);

private:
    enum class Mode { Range, Checked, All };
    Outcome deleteSteps(const QList<int>& steps, Mode mode);
    bool confirm(const QString& text);
    int currentNumber() const;
    void setCurrentNumber(int n);
    // After steps went: selects step n (clamped), or reports an empty list.
    void afterDeletion(int select);
    int clampStripFirst(int first) const;
    void report(const Outcome& outcome);
    void removeFolderLeftovers();

    StepList& m_steps;
    OperationList& m_opList;
    StepEditHost& m_host;
    Dialogs& m_dialogs;
    Notices& m_notices;
    bool m_busy = false; // the loop lets events run: no second deletion meanwhile
};

} // namespace klavoro

#pragma once

#include "store/settings.h"

#include <QString>
#include <QStringList>

namespace klavoro {

class Dialogs;
class MainWindowPlacement;

// The file name of the running executable without extension ("klavoro").
QString runningExeName();

// What a load found, for start-up and the menu-driven edit.
struct ConfLoadReport {
    bool fileFound = false;
    bool readFailed = false; // the file exists but could not be read
    QString charset;         // the label of the reading that stands; empty without a file
    bool exeNameMatched = false;
    // False when rewriting the file could lose what the user had (bytes no
    // character set explains, an EUC-JP file, characters Shift-JIS lacks,
    // nothing understood): the next save keeps the original as a backup first.
    bool faithful = true;
    // Lines whose value could not be used (see ConfText::errors). Start-up
    // treats a non-empty list as its error state; every entry is also logged.
    QStringList errors;
};

// Conf.txt in the program folder: loading with the character-set probe and the
// post-load checks, and saving.
class ConfFile {
public:
    // `dialogs` shows the text reader's message for an unreadable file; null logs it.
    ConfFile(MainWindowPlacement& window, Dialogs* dialogs, QString exeName = runningExeName());

    QString path() const;

    // Removes the temporaries an interrupted save left. Defaults, then the file
    // read in the character sets of confReadings until a reading gives this
    // executable's name in its `exe name` line. When none does, the reading
    // that understood the most keys stands (the earlier one on a tie) and the
    // log says so: falling back to defaults would let the next save write them
    // over the user's file. Then the capture folder check and the window
    // placement. Never fails; what went wrong is in the report and in log.txt.
    ConfLoadReport load(Settings& settings);

    // Writes every field and the window's normal position: 0 on success, -1 on
    // any error (logged). The write is atomic: the old file stays on failure.
    // A file that existed but could not be read at the last load is not
    // overwritten (-1), so that defaults never replace settings we could not see.
    // A file whose reading is not faithful (see ConfLoadReport) is first kept as
    // Conf.txt.<time>.bak with a log line; when that fails, nothing is written (-1).
    int save(const Settings& settings);

private:
    bool keepOriginalIfNotFaithful();

    MainWindowPlacement& m_window;
    Dialogs* m_dialogs;
    QString m_exeName;
    bool m_keepUnreadFile = false;
};

} // namespace klavoro

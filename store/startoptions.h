#pragma once

#include <QString>
#include <QStringList>

namespace klavoro {

// The options of the command line, for this run only; none is saved.
struct StartOptions {
    bool debug = false;     // debug
    bool autoStart = false; // auto, a
    QString newOrAppend;    // "new" or "append": answers the append question at recording start
    QString savePath;       // savepath: the run-time capture folder, empty when not given
    bool autoSave = false;  // autosave
    bool minimize = false;  // minimize, min
    bool tasktray = false;  // tasktray, tray
    bool noVisible = false; // novisible
    bool mouse = false;     // mouse
    bool clipboard = false; // clipboard
    bool sound = false;     // sound
    quint64 hwnd = 0;       // hwnd: the window to watch; 0 = none
};

// Parses a command line such as ` -savepath "/a b/c" -auto`: options start at
// " -" (a full-width blank before the hyphen counts too) outside double quotes,
// option words in any letter case, unknown words ignored. `savepath` takes the
// rest of its piece, blanks included, unquoted.
StartOptions parseCommandLine(const QString& commandLine);

// The program's arguments (without the program name) as one command line; an
// argument with a blank (half-width, full-width or TAB) in it is put in double
// quotes, so that parsing gives it back whole.
QString commandLineFromArguments(const QStringList& arguments);

} // namespace klavoro

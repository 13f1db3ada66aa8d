#pragma once

#include "store/settings.h"
#include "store/windowplacement.h"

#include <QString>
#include <QStringList>

namespace klavoro {

// What one reading of a Conf.txt text gave.
struct ConfText {
    Settings settings; // defaults, overwritten by every line that was understood
    WindowRect window; // the four window keys
    QString exeName;   // the value of the `exe name` line
    bool hasExeName = false;
    int recognisedKeys = 0; // distinct known keys found, `exe name` included
    // Lines whose value could not be used: the key keeps its default (or the
    // value of an earlier line). One text per line, for the log and the user.
    QStringList errors;
    // Lines skipped by the grammar although they name a known key, and other
    // things worth a log line.
    QStringList notes;
};

// Reads the lines of a Conf.txt text over the defaults. Lines end at CR LF; a
// lone LF ends a line too, so that a file saved by a Linux editor keeps its
// settings instead of reading as one line that matches nothing.
ConfText parseConfText(const QString& text, const WindowRect& windowDefaults);

// The whole file as written: exe name line, 13 groups, CR LF after every line.
QString confFileText(const Settings& settings, const WindowRect& window, const QString& exeName);

} // namespace klavoro

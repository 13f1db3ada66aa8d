#pragma once

#include "store/conftext.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace klavoro {

// One way of reading the bytes of a Conf.txt.
struct ConfReading {
    QString label; // "shift-jis", "utf-8", "unicode" (UTF-16LE), "utf-16be" or "euc-jp"
    QString text;
    bool exact = false; // every byte had a meaning in this character set
};

// The readings worth trying, in order. A byte-order mark (UTF-8, UTF-16LE,
// UTF-16BE) decides alone. Otherwise Shift-JIS, UTF-8 and UTF-16LE as the
// file was always probed, then UTF-16BE; but a text that is valid UTF-8 with
// characters beyond ASCII is read as UTF-8 first (Shift-JIS would take its
// ASCII `exe name` line and garble the rest), and one that is valid EUC-JP
// with more kana in that reading than in the Shift-JIS one is read as EUC-JP
// first (EUC-JP read as Shift-JIS turns into half-width kana and stray kanji).
QList<ConfReading> confReadings(const QByteArray& bytes);

// The reading that stands: the first that gives `exeName` in its `exe name`
// line, else the one that understood the most keys (the earlier on a tie).
struct ConfChoice {
    ConfReading reading;
    ConfText parsed;
    bool exeNameMatched = false;
    // Rewriting the file from these settings keeps what the user had: the
    // reading was exact and certain, Shift-JIS can hold every character, and
    // something in it was understood. Otherwise `why` says what is in doubt.
    bool faithful = true;
    QString why;
};
ConfChoice chooseConfReading(const QByteArray& bytes, const QString& exeName,
                             const WindowRect& windowDefaults);

} // namespace klavoro

#include "store/startoptions.h"

#include "store/blanks.h"
#include "store/confvalue.h"
#include "store/pathops.h"

namespace klavoro {
namespace {

const QChar kWideBlank(0x3000);

bool isBlank(QChar c) {
    return c == ' ' || c == kWideBlank;
}

// Every run of blanks, half-width or full-width, becomes its first blank.
QString shrinkBlankRuns(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (const QChar c : s)
        if (!(isBlank(c) && !out.isEmpty() && isBlank(out.back()))) out += c;
    return out;
}

// The piece after its first word, as typed: a folder may hold runs of blanks.
QString afterFirstWord(const QString& piece) {
    qsizetype i = 0;
    while (i < piece.size() && (piece[i] == ' ' || piece[i] == '\t'))
        ++i;
    while (i < piece.size() && piece[i] != ' ' && piece[i] != '\t')
        ++i;
    return piece.mid(i);
}

// The pieces of the command line between options: it is split at every
// blank (half-width or full-width) followed by a hyphen, except inside a
// double-quoted text, so that a quoted folder keeps its " -". A quote without
// a closing one later is an ordinary character.
QStringList optionPieces(const QString& line) {
    QStringList pieces;
    qsizetype start = 0;
    qsizetype closing = -1; // the quote that ends the quoted text we are in
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (i < closing) continue;
        if (i == closing) {
            closing = -1;
            continue;
        }
        if (c == u'"') {
            closing = line.indexOf(u'"', i + 1);
            continue;
        }
        if (isBlank(c) && i + 1 < line.size() && line[i + 1] == u'-') {
            pieces << line.mid(start, i - start);
            start = i + 2;
            ++i;
        }
    }
    pieces << line.mid(start);
    return pieces;
}

quint64 windowFromText(const QString& text) {
    double v = 0;
    if (!leadingNumber(text, &v) || !(v >= 1.0 && v < 18446744073709551616.0)) return 0;
    return quint64(v);
}

} // namespace

StartOptions parseCommandLine(const QString& commandLine) {
    StartOptions o;
    const QString line = QLatin1Char(' ') + trimBlanks(commandLine).toString();
    const QStringList pieces = optionPieces(line);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        piece.replace('\t', ' ');
        const QStringList words = shrinkBlankRuns(trimBlanks(piece).toString()).split(' ');
        const QString word = words.first().toLower();
        const QString argument = words.size() > 1 ? words[1] : QString();
        if (word == QLatin1String("debug"))
            o.debug = true;
        else if (word == QLatin1String("auto") || word == QLatin1String("a"))
            o.autoStart = true;
        else if (word == QLatin1String("new") || word == QLatin1String("append"))
            o.newOrAppend = word;
        else if (word == QLatin1String("savepath"))
            o.savePath = unquote(afterFirstWord(pieces[i]));
        else if (word == QLatin1String("autosave"))
            o.autoSave = true;
        else if (word == QLatin1String("minimize") || word == QLatin1String("min"))
            o.minimize = true;
        else if (word == QLatin1String("tasktray") || word == QLatin1String("tray"))
            o.tasktray = true;
        else if (word == QLatin1String("novisible"))
            o.noVisible = true;
        else if (word == QLatin1String("mouse"))
            o.mouse = true;
        else if (word == QLatin1String("clipboard"))
            o.clipboard = true;
        else if (word == QLatin1String("sound"))
            o.sound = true;
        else if (word == QLatin1String("hwnd"))
            o.hwnd = windowFromText(argument);
        // nolisting, loadfiles and unknown words change nothing.
    }
    return o;
}

QString commandLineFromArguments(const QStringList& arguments) {
    QStringList parts;
    for (const QString& a : arguments) {
        // The shell already split at blanks, so one inside an argument is part
        // of a name. It never splits at a full-width blank: one typed there
        // still starts an option, as on the command line the program reads.
        const bool quote = (a.contains(' ') || a.contains('\t')) && !a.startsWith('"');
        parts << (quote ? QLatin1Char('"') + a + QLatin1Char('"') : a);
    }
    return parts.join(' ');
}

} // namespace klavoro

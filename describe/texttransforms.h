#pragma once

#include <QString>

namespace klavoro {

// Applies the `replace str` list: entries joined by the character of code 1,
// each "search" TAB "replacement" (no TAB: replace by nothing). Every entry in
// list order, every occurrence, ignoring letter case.
QString replaceWords(const QString& text, const QString& replaceList);

// Removes menu decorations from a name: a trailing "..." after ")", a TAB and
// everything after it, and a trailing accelerator mark "(F)".
QString stripShortcut(const QString& text);

// TABs become blanks, ends are trimmed, and every run of half- and
// full-width blanks shrinks to its first blank.
QString collapseBlanks(const QString& text);

// Keeps a text whose Shift-JIS width is below `width`; otherwise cuts it
// where the width is reached, drops four more characters and adds "...".
QString truncateToWidth(const QString& text, int width);

// The first character of `brackets` before the text, the second after it;
// a missing character means no bracket on that side.
QString bracket(const QString& text, const QString& brackets);

} // namespace klavoro

#pragma once

#include <QStringView>

namespace klavoro {

// Removes leading and trailing blanks (U+0020 only, not tabs or full-width
// blanks), as the stored formats pad with them.
inline QStringView trimBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.mid(b, e - b);
}

} // namespace klavoro

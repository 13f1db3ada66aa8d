#include "store/oplisttext.h"

#include "store/imagename.h"
#include "store/stepline.h"

#include <cmath>

namespace klavoro {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QChar kMark(3);

// The header's step number as the loader accepts it: a number, not negative.
bool parseStepNumber(const QString& text, int* out) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || v < 0 || !std::isfinite(v) || v > 2147483647.0) return false;
    *out = static_cast<int>(std::nearbyint(v)); // halves to even
    return true;
}

QString fileLine(const QString& line) {
    if (line.isEmpty()) return QStringLiteral("\t"); // an empty line would end the list
    const bool plain = !line.contains(u'&') && !line.contains(kMark) && !line.contains(u'\r') &&
                       !line.contains(u'\n');
    if (plain) return line;
    QString out;
    out.reserve(line.size() + 8);
    const QList<QStringView> fields = QStringView(line).split(u'\t');
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) out += u'\t';
        out += opListField(fields[i].toString());
    }
    return out;
}
} // namespace

OpListRead parseOpListText(const QString& content) {
    OpListRead r;
    r.hasLineEnd = content.contains(kCrLf);
    // Lines are views into the content: a large file is not copied again.
    // Element 0 is the text before the first line end, as if CR LF led the body.
    QStringView body(content);
    const qsizetype marks = content.count(kMark);
    const bool header = marks == 1 || (marks > 1 && content.startsWith(u"最終行"));
    if (header) {
        const qsizetype sep = content.indexOf(kMark);
        body = body.mid(sep + 1);
        const QList<QStringView> head = QStringView(content).left(sep).split(u'\t');
        r.numberText = head.size() > 1 ? head[1].toString() : QString();
        if (!parseStepNumber(r.numberText, &r.current)) {
            r.badNumber = true;
            return r;
        }
    }
    QList<QStringView> lines = body.split(kCrLf);
    if (!header || !body.startsWith(kCrLf)) lines.prepend(QStringView());
    if (!header) r.current = static_cast<int>(lines.size()) - 1;
    const int last = static_cast<int>(lines.size()) - 2;
    r.lastIndex = last;

    r.lines.reserve(std::max(last, 0));
    int i = 1;
    for (; i <= last; ++i) {
        const QStringView raw = lines[i];
        if (raw.isEmpty()) break;
        if (raw.contains(kMark)) ++r.markedLines;
        QList<QStringView> f = raw.split(u'\t');
        while (f.size() < 7)
            f.append(QStringView());
        // Unescaped before the padding is made, so that the padding of a
        // saved line needs no change when it is read again.
        r.lines.append(buildStepLine(i, unescapeName(f[1].toString()),
                                     unescapeName(f[4].toString()), unescapeName(f[5].toString()),
                                     unescapeName(f[6].toString())));
    }
    r.ignoredLines = lines.last().isEmpty() ? 0 : 1;
    for (int k = i + 1; k <= last; ++k)
        if (!lines[k].isEmpty()) ++r.ignoredLines;
    return r;
}

// The loader undoes the escaping of every field, so one that unescaping
// would change is written escaped.
QString opListField(const QString& value) {
    QString f = storableFieldText(value);
    if (unescapeName(f) != f) f = escapeName(f);
    return f;
}

QString opListFileText(const QStringList& lines, const QString& currentText) {
    if (lines.isEmpty()) return {};
    int current = 0;
    const QString number =
        parseStepNumber(currentText, &current) ? QString::number(current) : QStringLiteral("0");
    QString text;
    text.reserve(lines.size() * 140 + 64);
    text += QStringLiteral("最終行 = \t") + number + QStringLiteral("\t\r\n");
    text += QString(28, u'-') + kMark + kCrLf;
    for (const QString& l : lines) {
        text += fileLine(l);
        text += kCrLf;
    }
    return text;
}

} // namespace klavoro

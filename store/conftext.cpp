#include "store/conftext.h"

#include "store/blanks.h"
#include "store/confkeys.h"
#include "store/confvalue.h"
#include "store/pathops.h"
#include "store/sjis.h"

#include <QSet>

#include <algorithm>

namespace klavoro {
namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

const QString kNotNumber = QStringLiteral("数値ではありません");
const QString kOutOfRange = QStringLiteral("値が範囲外です");

QString withoutLeadingBlanks(const QString& s) {
    qsizetype b = 0;
    while (b < s.size() && s[b] == ' ')
        ++b;
    return s.mid(b);
}

QString shortened(const QString& line) {
    return line.size() > 100 ? line.left(100) + QStringLiteral("…") : line;
}

// The number a numeric key's value stands for; empty reason on success.
QString numberOf(const ConfKey& k, const QString& value, double* v) {
    switch (k.read) {
    case ConfRead::WholeNumber:
        return wholeNumber(value, v) ? QString() : kNotNumber;
    case ConfRead::Percent:
        if (!leadingNumber(value, v)) return kOutOfRange;
        *v /= 100.0;
        return {};
    case ConfRead::HexColor: {
        const QString prefix = value.left(2).toLower();
        if (prefix == QLatin1String("0x") || prefix == QLatin1String("&h")) {
            // Only the lower-case "0x" stands for "&h"; "0XFF" is not a number.
            QString hex = value;
            hex.replace(QLatin1String("0x"), QLatin1String("&h"));
            return wholeNumber(hex, v) ? QString() : kNotNumber;
        }
        return leadingNumber(value, v) ? QString() : kOutOfRange;
    }
    case ConfRead::StepCap:
        if (!leadingNumber(value, v)) return kOutOfRange;
        *v = std::clamp(*v, 1.0, double(kStepCap));
        return {};
    default:
        return leadingNumber(value, v) ? QString() : kOutOfRange;
    }
}

qint32& edgeOf(WindowRect& w, WindowEdge e) {
    switch (e) {
    case WindowEdge::Top:
        return w.top;
    case WindowEdge::Right:
        return w.right;
    case WindowEdge::Bottom:
        return w.bottom;
    default:
        return w.left;
    }
}

template <typename T, typename Convert>
QString setNumber(const ConfKey& k, const QString& value, T* field, Convert convert) {
    double v = 0;
    const QString reason = numberOf(k, value, &v);
    if (!reason.isEmpty()) return reason;
    T out{};
    if (!convert(v, &out)) return kOutOfRange;
    *field = out;
    return {};
}

QString setText(const ConfKey& k, const QString& value, QString* field) {
    switch (k.read) {
    case ConfRead::FolderPath: {
        // A file written on Windows says data\ or data\sub\: the separator here is '/'.
        QString path = value;
        path.replace('\\', '/');
        *field = unquote(path);
        return {};
    }
    case ConfRead::NumberText: {
        double v = 0;
        if (!leadingNumber(value, &v)) return kOutOfRange;
        *field = formatNumber(v);
        return {};
    }
    default:
        *field = value;
        return {};
    }
}

// Sets the key's field from the value; the reason when the value is unusable.
QString apply(const ConfKey& k, const QString& value, Settings& s, WindowRect& w) {
    if (k.read == ConfRead::Window) return setNumber(k, value, &edgeOf(w, k.edge), toLong);
    return std::visit(
        Overloaded{
            [](std::monostate) { return QString(); },
            [&](qint16 Settings::*f) { return setNumber(k, value, &(s.*f), toInteger); },
            [&](qint32 Settings::*f) { return setNumber(k, value, &(s.*f), toLong); },
            [&](float Settings::*f) { return setNumber(k, value, &(s.*f), toSingle); },
            [&](QString Settings::*f) { return setText(k, value, &(s.*f)); },
        },
        k.field);
}

QStringList splitLines(const QString& text, bool* lfOnly) {
    QStringList lines = text.split('\n');
    *lfOnly = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].endsWith('\r'))
            lines[i].chop(1);
        else if (i + 1 < lines.size())
            *lfOnly = true;
    }
    return lines;
}

} // namespace

ConfText parseConfText(const QString& text, const WindowRect& windowDefaults) {
    ConfText r;
    r.window = windowDefaults;
    bool lfOnly = false;
    const QStringList lines = splitLines(text, &lfOnly);
    if (lfOnly)
        r.notes << QStringLiteral("Conf.txt: CR のない改行 (LF) も行の区切りとして読みました");
    QSet<const ConfKey*> seen;
    const QString exeKey = QString::fromLatin1(kExeNameKey);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        const qsizetype comment = line.indexOf(QLatin1String(" // "));
        if (comment >= 0) line.truncate(comment);
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        const QString key = trimBlanks(QStringView(line).left(eq)).toString();
        if (line.indexOf('=', eq + 1) >= 0) {
            if (findConfKey(key) || key.compare(exeKey, Qt::CaseInsensitive) == 0)
                r.notes << QStringLiteral(
                               "Conf.txt %1行目: 値に「=」を含むため読み飛ばしました: %2")
                               .arg(n + 1)
                               .arg(shortened(lines[n]));
            continue;
        }
        const QString value = withoutLeadingBlanks(line.mid(eq + 1));
        if (key.compare(exeKey, Qt::CaseInsensitive) == 0) {
            if (!r.hasExeName) ++r.recognisedKeys;
            r.exeName = value;
            r.hasExeName = true;
            continue;
        }
        const ConfKey* k = findConfKey(key);
        if (!k) continue;
        if (!seen.contains(k)) {
            seen.insert(k);
            ++r.recognisedKeys;
        }
        const QString reason = apply(*k, value, r.settings, r.window);
        if (!reason.isEmpty())
            r.errors << QStringLiteral("Conf.txt %1行目: %2 (%3。この行は使いません)")
                            .arg(n + 1)
                            .arg(shortened(lines[n]), reason);
    }
    return r;
}

namespace {

QString valueText(const ConfKey& k, const Settings& s, const WindowRect& w) {
    if (k.read == ConfRead::Window) {
        WindowRect copy = w;
        return QString::number(edgeOf(copy, k.edge));
    }
    if (k.layout == ConfLayout::Percent) {
        const auto* f = std::get_if<float Settings::*>(&k.field);
        return formatPercent(f ? s.**f : 0.0f) + '%';
    }
    if (k.layout == ConfLayout::HexWithPrefix) {
        const auto* f = std::get_if<qint32 Settings::*>(&k.field);
        return QStringLiteral("0x") + QString::number(quint32(f ? s.**f : 0), 16).toUpper();
    }
    return std::visit(Overloaded{
                          [](std::monostate) { return QString(); },
                          [&](qint16 Settings::*f) { return QString::number(s.*f); },
                          [&](qint32 Settings::*f) { return QString::number(s.*f); },
                          [&](float Settings::*f) { return formatSingle(s.*f); },
                          [&](QString Settings::*f) { return s.*f; },
                      },
                      k.field);
}

// The same folder with repeated separators made single, so that no " // " in
// its middle cuts it at the next reading (such a path comes from the settings
// dialog, never from the file); a leading "//" (a network path) stays.
QString singleSeparators(const QString& path) {
    QString out = path.left(2);
    for (qsizetype i = out.size(); i < path.size(); ++i)
        if (!(path[i] == '/' && out.endsWith('/'))) out += path[i];
    return out;
}

// A value read from "key =// x" must not come back as "key = // x", which the
// next reading cuts to nothing: such a value is written after "=" with no blank
// (or, for a folder, in quotes, which the reader removes).
QString keyLine(const ConfKey& k, const Settings& s, const WindowRect& w) {
    const QString key = QString::fromUtf8(k.key);
    QString value = valueText(k, s, w);
    ConfLayout layout = k.layout;
    if (k.read == ConfRead::FolderPath && value.contains(QLatin1String(" // ")))
        value = singleSeparators(value);
    if (value.startsWith(QLatin1String("//")) && layout != ConfLayout::NoBlankAfterEquals) {
        if (k.read == ConfRead::FolderPath)
            value = '"' + value + '"';
        else
            layout = ConfLayout::NoBlankAfterEquals;
    }
    QString line;
    switch (layout) {
    case ConfLayout::NoBlankAfterEquals:
        line = key + QStringLiteral(" =") + value;
        break;
    case ConfLayout::NoBlankBeforeEquals:
        line = key + QStringLiteral("= ") + value;
        break;
    default:
        line = key + QStringLiteral(" = ") + value;
    }
    if (k.comment)
        line = padToHalfWidth(line, 30) + QStringLiteral(" // ") + QString::fromUtf8(k.comment);
    return line;
}

} // namespace

QString confFileText(const Settings& settings, const WindowRect& window, const QString& exeName) {
    QStringList lines;
    lines << QString::fromLatin1(kExeNameKey) + QStringLiteral(" = ") + exeName << QString();
    for (const ConfGroup& g : confGroups()) {
        lines << QString() << QString::fromUtf8(g.title);
        for (const ConfKey& k : g.keys)
            lines << keyLine(k, settings, window);
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace klavoro

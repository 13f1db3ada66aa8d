#include "describe/phrase.h"

#include "describe/texttransforms.h"
#include "store/dialogs.h"
#include "store/settings.h"

namespace klavoro {

std::optional<QString> verbOfEventName(const QString& eventName, const Settings& settings,
                                       Dialogs& dialogs) {
    const QString base = eventName.section(u'+', 0, 0);
    const bool plainLeft = settings.abbLeft != 0;
    if (base == QLatin1String("Left"))
        return plainLeft ? QStringLiteral("クリック") : QStringLiteral("左クリック");
    if (base == QLatin1String("Right")) return QStringLiteral("右クリック");
    if (base == QLatin1String("Middle")) return QStringLiteral("中クリック");
    if (base == QLatin1String("LDrag"))
        return plainLeft ? QStringLiteral("ドラッグ") : QStringLiteral("左ドラッグ");
    if (base == QLatin1String("RDrag")) return QStringLiteral("右ドラッグ");
    if (base == QLatin1String("MDrag")) return QStringLiteral("中ドラッグ");
    if (base == QLatin1String("Key") || base == QLatin1String("key")) return std::nullopt;
    dialogs.message(QStringLiteral("error!"), eventName + u',');
    return QString();
}

std::optional<QString> mouseSentence(const QString& eventName, const QString& modifierPhrase,
                                     const ElementInfo& info, const Settings& s, Dialogs& dialogs) {
    const std::optional<QString> verb = verbOfEventName(eventName, s, dialogs);
    if (!verb) return std::nullopt;
    const QString p = replaceWords(info.parentName, s.replaceStr);
    const QString pr = replaceWords(info.parentRoleText, s.replaceStr);
    const QString n = replaceWords(info.name, s.replaceStr);
    const QString r = replaceWords(info.roleText, s.replaceStr);

    QString parentPart;
    if (!p.isEmpty() && p != n && s.dspPhrase0 == 1) {
        const QString name = s.noShortcut != 0 ? stripShortcut(p) : p;
        parentPart += bracket(truncateToWidth(name, 30), s.brackets1);
    }
    if (!pr.isEmpty() && s.dspPhrase1 == 1) parentPart += bracket(pr, s.brackets2);

    QString elementPart;
    const QString name =
        collapseBlanks(s.noShortcut != 0 ? stripShortcut(n) : n); // "(A)" alone names nothing
    if (!name.isEmpty() && s.dspPhrase3 == 1)
        elementPart += bracket(truncateToWidth(name, 40), s.brackets3);
    if (!r.isEmpty() && s.dspPhrase4 == 1) elementPart += bracket(r, s.brackets4);

    // Nothing names the element: the sentence still says what was clicked
    // (its role, even one the replacement list deletes) and where (the
    // window's title), never an empty bracket.
    if (name.isEmpty() && parentPart.isEmpty()) {
        const QString role = !r.isEmpty() ? r : info.roleText;
        const bool showRole = !role.isEmpty() && s.dspPhrase4 == 1;
        if (showRole) elementPart = bracket(role, s.brackets4);
        const QString title = replaceWords(info.windowTitle, s.replaceStr).trimmed();
        if (!title.isEmpty() && s.dspPhrase0 == 1) {
            const QString where = truncateToWidth(stripShortcut(title), 30);
            if (showRole)
                parentPart = bracket(where, s.brackets1);
            else
                elementPart = bracket(where, s.brackets3);
        }
    }

    if (!parentPart.isEmpty()) parentPart += s.phrase2;
    if (!elementPart.isEmpty()) elementPart += s.phrase5;

    QString sentence = parentPart + elementPart + modifierPhrase + *verb + s.phrase7;
    sentence.remove(u'\t');
    sentence.remove(u'\r');
    sentence.remove(u'\n');
    return sentence;
}

QString keySentence(const QString& keyName, const QString& modifierPhrase, const Settings& s) {
    return modifierPhrase + keyName + s.phraseKey0;
}

QString typedTextSentence(const QString& text, const Settings& s) {
    QString sentence = u'"' + text + u'"' + s.phraseKey1;
    sentence.replace(u'\t', u' ');
    // A line break is stored as code 4, as an edited sentence stores it: a
    // raw one would split the step line in OpList.txt.
    sentence.replace(QStringLiteral("\r\n"), QString(QChar(4)));
    sentence.replace(u'\r', QChar(4));
    sentence.replace(u'\n', QChar(4));
    return sentence;
}

QString passwordSentence(const Settings& s) {
    return QStringLiteral("パスワード") + s.phraseKey1;
}

QString windowNamePrefix(const QString& name, const QString& sentence, const Settings& s) {
    if (name.isEmpty() || s.dspPhrase4 != 1) return sentence;
    // Stripped before the replacement here, unlike in the mouse sentence.
    const QString shown =
        replaceWords(s.noShortcut != 0 ? stripShortcut(name) : name, s.replaceStr);
    return bracket(shown, s.brackets4) + QStringLiteral("で") + sentence;
}

QString doubleClickSentence(const QString& sentence) {
    static const QString click = QStringLiteral("クリック");
    static const QString dbl = QStringLiteral("ダブル");
    const qsizetype start = qMax<qsizetype>(0, sentence.size() - 14);
    QString out = sentence.left(start);
    qsizetype i = start;
    while (i < sentence.size()) {
        const qsizetype at = sentence.indexOf(click, i);
        if (at < 0) {
            out += sentence.mid(i);
            break;
        }
        out += sentence.mid(i, at - i);
        // A sentence that already says ダブルクリック stays as it is.
        if (at < dbl.size() || sentence.mid(at - dbl.size(), dbl.size()) != dbl) out += dbl;
        out += click;
        i = at + click.size();
    }
    return out;
}

} // namespace klavoro

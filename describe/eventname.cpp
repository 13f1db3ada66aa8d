#include "describe/eventname.h"

#include "platform/keystate.h"
#include "record/eventkind.h"
#include "store/dialogs.h"

#include <QStringList>

namespace klavoro {
namespace {

QString baseName(const QString& kind) {
    if (kind == kind::LeftDown || kind == kind::LeftUp || kind == kind::LeftDblClk)
        return QStringLiteral("Left");
    if (kind == kind::LeftDrag) return QStringLiteral("LDrag");
    if (kind == kind::RightDown || kind == kind::RightUp || kind == kind::RightDblClk)
        return QStringLiteral("Right");
    if (kind == kind::RightDrag) return QStringLiteral("RDrag");
    if (kind == kind::MiddleDown || kind == kind::MiddleUp || kind == kind::MiddleDblClk)
        return QStringLiteral("Middle");
    if (kind == kind::MiddleDrag) return QStringLiteral("MDrag");
    return {};
}

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkAlt = 18;
constexpr int kVkSpace = 32;

} // namespace

QString MakeEventName(const QString& kind, int keyCode, KeyState& keys, Dialogs& dialogs) {
    Q_UNUSED(keyCode);
    QString name = baseName(kind);
    if (name.isEmpty() && kind != QLatin1String("Key"))
        dialogs.message(QStringLiteral("error!"), QStringLiteral("MakeEventName"));
    if (keys.asyncKeyState(kVkControl) != 0) name += QStringLiteral("+Ctrl");
    if (keys.asyncKeyState(kVkShift) != 0) name += QStringLiteral("+Shift");
    if (keys.asyncKeyState(kVkAlt) != 0) name += QStringLiteral("+Alt");
    return name;
}

QString modifierPhrase(const ModifierFlags& flags) {
    QStringList parts;
    if (flags.ctrl) parts << QStringLiteral("Ctrl");
    if (flags.shift) parts << QStringLiteral("Shift");
    if (flags.alt) parts << QStringLiteral("Alt");
    if (parts.isEmpty()) return {};
    return parts.join(QLatin1Char('+')) + QStringLiteral("を押しながら");
}

QString keyClass(int code, int keyRecordChar) {
    if (code == kVkShift || code == kVkControl || code == kVkAlt) return QStringLiteral("modify");
    if (keyRecordChar == 1) {
        const auto in = [code](int lo, int hi) { return code >= lo && code <= hi; };
        // The space is typed text like any printable key, not a key step.
        if ((in(9, 47) && code != kVkSpace) || in(91, 93) || in(112, 145) || in(240, 244))
            return QStringLiteral("control");
    }
    if (code != 0) return QStringLiteral("data");
    return {};
}

} // namespace klavoro

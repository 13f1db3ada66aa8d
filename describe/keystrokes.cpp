#include "describe/keystrokes.h"

#include "platform/syntheticinput.h"

namespace klavoro {
namespace {
constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkEnd = 35;
constexpr int kVkHome = 36;

QList<KeyStroke> withControl(int letter) {
    return {{kVkControl, false}, {letter, false}, {letter, true}, {kVkControl, true}};
}
} // namespace

QList<KeyStroke> keyChordStrokes(KeyChord chord) {
    switch (chord) {
    case KeyChord::Copy:
        return withControl('C');
    case KeyChord::Cut:
        return withControl('X');
    case KeyChord::Paste:
        return withControl('V');
    case KeyChord::SelectAll:
        // Ctrl+Home, then Ctrl+Shift+End.
        return {{kVkControl, false}, {kVkHome, false}, {kVkHome, true},    {kVkShift, false},
                {kVkEnd, false},     {kVkEnd, true},   {kVkControl, true}, {kVkShift, true}};
    }
    return {};
}

bool sendKeys(SyntheticInput& input, const QList<KeyStroke>& strokes) {
    bool ok = true;
    for (const KeyStroke& s : strokes)
        ok = input.sendKey(s.vk, s.up) && ok;
    return ok;
}

bool sendKeyChord(SyntheticInput& input, KeyChord chord) {
    return sendKeys(input, keyChordStrokes(chord));
}

} // namespace klavoro

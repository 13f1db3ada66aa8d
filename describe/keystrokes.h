#pragma once

#include <QList>

namespace klavoro {

class SyntheticInput;

// One injected keyboard event.
struct KeyStroke {
    int vk = 0;
    bool up = false;
    bool operator==(const KeyStroke&) const = default;
};

enum class KeyChord { Copy, Cut, Paste, SelectAll };

// The keys of a chord, in the order they are sent.
QList<KeyStroke> keyChordStrokes(KeyChord chord);

// Sends each stroke as its own injection; false when any of them failed.
bool sendKeys(SyntheticInput& input, const QList<KeyStroke>& strokes);
bool sendKeyChord(SyntheticInput& input, KeyChord chord);

} // namespace klavoro

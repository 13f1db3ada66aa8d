#pragma once

#include "describe/elementinfo.h"

#include <QString>

#include <optional>

namespace klavoro {

class Dialogs;
struct Settings;

// The verb of an event name's first "+" part ("Left" -> "クリック" and so on).
// "Key"/"key" give no verb and no sentence (nullopt); an unknown part shows
// "error!" and gives the empty verb.
std::optional<QString> verbOfEventName(const QString& eventName, const Settings& settings,
                                       Dialogs& dialogs);

// The sentence of a mouse step, such as [OK](ボタン)を、クリックします。
// `modifierPhrase` is what goes before the verb ("Ctrlを押しながら" or empty).
// nullopt for key events, which have no mouse sentence.
std::optional<QString> mouseSentence(const QString& eventName, const QString& modifierPhrase,
                                     const ElementInfo& info, const Settings& settings,
                                     Dialogs& dialogs);

// Modifier phrase + key name + `phrase key0`: Shiftを押しながらTabキーを押します。
QString keySentence(const QString& keyName, const QString& modifierPhrase,
                    const Settings& settings);

// "T" + `phrase key1`, TABs turned into blanks, CR LF pairs removed.
QString typedTextSentence(const QString& text, const Settings& settings);

// What a typed-text step into a password field says: that a password was
// entered, never what.
QString passwordSentence(const Settings& settings);

// (name)で + sentence, for key and typed-text steps; the sentence unchanged
// when the name is empty or `dsp phrase4` is off.
QString windowNamePrefix(const QString& name, const QString& sentence, const Settings& settings);

// "クリック" becomes "ダブルクリック" within the last 14 characters.
QString doubleClickSentence(const QString& sentence);

} // namespace klavoro

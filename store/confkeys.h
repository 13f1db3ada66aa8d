#pragma once

#include "store/settings.h"

#include <QString>

#include <span>
#include <variant>

namespace klavoro {

// How a key's value is turned into its field on reading.
enum class ConfRead {
    Plain,       // numbers: the leading number; texts: unchanged
    WholeNumber, // the whole value must be a number
    Percent,     // `text mag`: the leading number / 100
    HexColor,    // `thumbnail chk color`: "0x"/"&h" prefix means hexadecimal
    StepCap,     // `max cnt`: the leading number limited to 1 .. kStepCap
    NumberText,  // a text holding the decimal text of the leading number
    FolderPath,  // `save folder path`: unquoted, '\' taken as '/'
    Window,      // one of the four window keys (not a record field)
};

// The lines that do not follow "key = value".
enum class ConfLayout {
    Normal,
    NoBlankAfterEquals,  // "no rect file =1"
    NoBlankBeforeEquals, // "no shortcut= 1"
    HexWithPrefix,       // "thumbnail chk color = 0xFFFFC0"
    Percent,             // "text mag = 125%"
};

using ConfField = std::variant<std::monostate, qint16 Settings::*, qint32 Settings::*,
                               float Settings::*, QString Settings::*>;

enum class WindowEdge { None = -1, Left, Top, Right, Bottom };

struct ConfKey {
    const char* key;     // as written; compared without letter case on reading
    ConfField field;     // empty for the window keys
    const char* comment; // UTF-8, nullptr when the line has none
    ConfRead read = ConfRead::Plain;
    ConfLayout layout = ConfLayout::Normal;
    WindowEdge edge = WindowEdge::None;
};

struct ConfGroup {
    const char* title; // the whole comment line, UTF-8
    std::span<const ConfKey> keys;
};

// The thirteen groups in file order.
std::span<const ConfGroup> confGroups();

// The key of that name (any letter case), or nullptr.
const ConfKey* findConfKey(const QString& name);

// The first line of the file: "exe name = " + the executable's name.
inline constexpr const char* kExeNameKey = "exe name";

} // namespace klavoro

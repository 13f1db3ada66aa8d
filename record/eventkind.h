#pragma once

#include <QString>

namespace klavoro {

// The event kind names every part of the program uses.
namespace kind {
inline const QString Move = QStringLiteral("MV");
inline const QString LeftDown = QStringLiteral("LEFT_DOWN");
inline const QString LeftUp = QStringLiteral("LEFT_UP");
inline const QString LeftDblClk = QStringLiteral("LEFT_DBLCLK");
inline const QString RightDown = QStringLiteral("RIGHT_DOWN");
inline const QString RightUp = QStringLiteral("RIGHT_UP");
inline const QString RightDblClk = QStringLiteral("RIGHT_DBLCLK");
inline const QString MiddleDown = QStringLiteral("MIDDLE_DOWN");
inline const QString MiddleUp = QStringLiteral("MIDDLE_UP");
inline const QString MiddleDblClk = QStringLiteral("MIDDLE_DBLCLK");
inline const QString KeyDown = QStringLiteral("KEY_DOWN");
inline const QString KeyUp = QStringLiteral("KEY_UP");
inline const QString MouseWheel = QStringLiteral("MOUSE_WHEEL");
inline const QString Activate = QStringLiteral("ACTIVATE");
inline const QString LeftDrag = QStringLiteral("LEFT_DRAG");
inline const QString RightDrag = QStringLiteral("RIGHT_DRAG");
inline const QString MiddleDrag = QStringLiteral("MIDDLE_DRAG");
} // namespace kind

// The event kind of a hook message; empty for codes that name nothing.
QString eventKindOf(quint32 message, quint32 wParam, quint32 lParam);

// The kind of a mouse message code (client 512..521 or non-client 160..169).
QString mouseKindOf(quint32 mouseCode);

} // namespace klavoro

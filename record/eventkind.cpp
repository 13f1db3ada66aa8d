#include "record/eventkind.h"

#include "record/inputmessage.h"

namespace klavoro {

QString mouseKindOf(quint32 mouseCode) {
    if (mouseCode >= kNcMouseMove && mouseCode <= kNcMouseMove + 9)
        mouseCode += kMouseMove - kNcMouseMove;
    switch (mouseCode) {
    case kMouseMove:
        return kind::Move;
    case kLeftDown:
        return kind::LeftDown;
    case kLeftUp:
        return kind::LeftUp;
    case kLeftDblClk:
        return kind::LeftDblClk;
    case kRightDown:
        return kind::RightDown;
    case kRightUp:
        return kind::RightUp;
    case kRightDblClk:
        return kind::RightDblClk;
    case kMiddleDown:
        return kind::MiddleDown;
    case kMiddleUp:
        return kind::MiddleUp;
    case kMiddleDblClk:
        return kind::MiddleDblClk;
    default:
        return {};
    }
}

QString eventKindOf(quint32 message, quint32 wParam, quint32 lParam) {
    switch (message) {
    case kHookMouse:
        return mouseKindOf(wParam);
    case kHookKey:
        return (lParam & kKeyUpFlag) ? kind::KeyUp : kind::KeyDown;
    case kHookWheel:
        return kind::MouseWheel;
    case kHookActivate:
        return kind::Activate;
    default:
        return {};
    }
}

} // namespace klavoro

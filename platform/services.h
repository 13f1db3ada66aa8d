#pragma once

namespace klavoro {

class Accessibility;
class CursorSource;
class Desktop;
class InputMethod;
class HotKeys;
class InputHook;
class KeyState;
class ScreenCopy;
class ScreenTextSource;
class SharedMemory;
class Shell;
class SoundPlayer;
class SyntheticInput;

// The platform services the program runs on, made once at start-up and passed
// to whatever needs them. A service that is missing is null; its users
// degrade and say so once.
struct PlatformServices {
    Desktop* desktop = nullptr;
    InputHook* inputHook = nullptr;
    KeyState* keyState = nullptr;
    HotKeys* hotKeys = nullptr;
    SharedMemory* statusMemory = nullptr;
    SyntheticInput* syntheticInput = nullptr;
    ScreenCopy* screenCopy = nullptr;
    CursorSource* cursor = nullptr;
    Shell* shell = nullptr;
    Accessibility* accessibility = nullptr;
    InputMethod* inputMethod = nullptr;
    SoundPlayer* sound = nullptr;
    ScreenTextSource* screenText = nullptr;
};

} // namespace klavoro

#pragma once

namespace klavoro {

class Dialogs;
class Notices;
class NotificationArea;
class RunMode;
class StatusBlock;
class StepList;
class ThumbnailLoader;
struct PlatformServices;
struct Settings;

// What the main window and its command families are handed when they are
// made. Every service exists once, made by the program's composition root
// (or by a test's own graph) before anything that uses it, and lives as long
// as the window. Platform services may be missing individually (null).
struct MainServices {
    PlatformServices& platform;
    Dialogs& dialogs;
    Notices& notices;
    NotificationArea& tray;
    StepList& steps;
    ThumbnailLoader& thumbnails;
    StatusBlock& statusBlock;
    // Process-wide by design: conf() and runMode() are these two.
    Settings& settings;
    RunMode& runMode;
};

} // namespace klavoro

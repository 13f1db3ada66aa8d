#pragma once

namespace klavoro {

class SettingsOpener;
class frmKlavoro;

// The window's one opener of the settings dialog, made on first use. Other
// families reach it here:
// - recording connects SettingsOpener::targetChangedWhileRecording to
//   re-installing its input hook;
// - the phrase-format dialog and the consistency check hand their windows
//   over with setFormatWindow / setCheckFileWindow.
SettingsOpener& settingsOpener(frmKlavoro& window);

} // namespace klavoro

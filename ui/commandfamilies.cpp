#include "ui/commandfamilies.h"

#include "ui/frmklavoro.h"

namespace klavoro {

void registerCommandFamilies(frmKlavoro& window, ConfFile& confFile) {
    CommandMap& map = window.commands();
    registerWindowCommands(window, map);
    registerFolderCommands(window, map, confFile);
    registerClipboardCommands(window, map);
    registerSaveAsCommands(window, map);
    registerSearchCommands(window, map);
    registerPlaybackCommands(window, map);
    registerRichTextCommands(window, map);
    registerSettingCommands(window, map);
    registerLifecycleCommands(window, map);
    registerEditCommands(window, map);
    registerHtmlCommands(window, map);
    registerRecordingCommands(window, map);
    registerRedactCommands(window, map);
    window.updateCommandStates();
}

} // namespace klavoro

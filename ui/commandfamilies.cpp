#include "ui/commandfamilies.h"

namespace klavoro {

void registerCommandFamilies(frmKlavoro& window, CommandMap& map) {
    registerWindowCommands(window, map);
    registerFolderCommands(window, map);
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
}

} // namespace klavoro

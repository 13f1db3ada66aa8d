#pragma once

namespace klavoro {

class CommandMap;
class frmKlavoro;

// Each family of commands registers its commands in the map; a family is one
// file in ui/ (or a frm file beside its logic) and one line here.
void registerCommandFamilies(frmKlavoro& window, CommandMap& map);

void registerFolderCommands(frmKlavoro& window, CommandMap& map);
void registerClipboardCommands(frmKlavoro& window, CommandMap& map);
void registerWindowCommands(frmKlavoro& window, CommandMap& map);
void registerSaveAsCommands(frmKlavoro& window, CommandMap& map);
void registerSearchCommands(frmKlavoro& window, CommandMap& map);
void registerPlaybackCommands(frmKlavoro& window, CommandMap& map);
void registerRichTextCommands(frmKlavoro& window, CommandMap& map);
void registerSettingCommands(frmKlavoro& window, CommandMap& map);
void registerLifecycleCommands(frmKlavoro& window, CommandMap& map);
void registerEditCommands(frmKlavoro& window, CommandMap& map);
void registerHtmlCommands(frmKlavoro& window, CommandMap& map);
void registerRecordingCommands(frmKlavoro& window, CommandMap& map);

} // namespace klavoro

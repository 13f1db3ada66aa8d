#pragma once

namespace klavoro {

class CommandMap;
class ConfFile;
class frmKlavoro;

// Each family of commands registers its commands in the window's map; a
// family is one file in ui/ and one line here. The composition root calls
// this once, after the window and Conf.txt's file exist.
void registerCommandFamilies(frmKlavoro& window, ConfFile& confFile);

void registerFolderCommands(frmKlavoro& window, CommandMap& map, ConfFile& confFile);
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
void registerRedactCommands(frmKlavoro& window, CommandMap& map);

} // namespace klavoro

#pragma once

#include "store/conffile.h"

#include <functional>

namespace klavoro {

class Desktop;
class Dialogs;
class Shell;
struct EditWaitHooks;

// What the menu-driven edit needs of the main window.
struct ConfEditHooks {
    std::function<void()> minimizeMainWindow;
    std::function<void()> restoreMainWindow; // back to its normal size and to the foreground
    std::function<void()> reapplySettings;   // apply to the main window, lay out the thumbnails
};

// "設定ファイル(Conf.txt)を編集＆適用": saves the settings, opens Conf.txt in
// the user's editor and waits for it, then loads the file again and re-applies
// it. Lines with unusable values are shown to the user after the reload (they
// are logged too); the other settings of the file are in effect.
ConfLoadReport mnuConfOpen(ConfFile& file, Settings& settings, Desktop& desktop, Shell& shell,
                           Dialogs& dialogs, const EditWaitHooks& waitHooks,
                           const ConfEditHooks& hooks);

} // namespace klavoro

// "設定": the settings dialog from the button, the menu and the list's pop-up menu.
#include "ui/settingcommands.h"

#include "record/runmode.h"
#include "settings/settingsopener.h"
#include "store/programfolder.h"
#include "store/settings.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/qtcharacterservice.h"

namespace klavoro {

SettingsOpener& settingsOpener(frmKlavoro& w) {
    const QString name = QStringLiteral("settingsOpener");
    if (auto* found = w.findChild<SettingsOpener*>(name, Qt::FindDirectChildrenOnly)) return *found;
    SettingsOpenerHooks hooks;
    hooks.recordedSteps = [&w] { return w.steps().count(); };
    hooks.characterNames = [] {
        QStringList names;
        QtCharacterService characters({shippedFilesFolder() + QStringLiteral("chars")});
        for (const CharacterEntry& entry : characters.catalogue())
            names << entry.name;
        return names;
    };
    hooks.applySettings = [&w] { w.applySettings(); };
    hooks.reloadList = [&w] { w.reloadList(); };
    hooks.isRecording = [] { return runMode().is(kRunGo); };
    auto* opener = new SettingsOpener(conf(), hooks, w.dialogs(), &w);
    opener->setObjectName(name);
    QObject::connect(&w, &frmKlavoro::closing, opener, &SettingsOpener::closeDialog);
    return *opener;
}

void registerSettingCommands(frmKlavoro& w, CommandMap& map) {
    SettingsOpener* opener = &settingsOpener(w);
    using From = SettingsOpener::From;
    map.add(QStringLiteral("cmdSetting"), [opener] { opener->open(From::Button); });
    for (const char* name : {"mnuSetting", "mnuListSetting"})
        map.add(QString::fromLatin1(name), [opener] { opener->open(From::Menu); });
}

} // namespace klavoro

// The HTML manual from the main menu and the step list's menu, and the
// phrase-format dialog from the tools menu and the settings dialog.
#include "ui/frmformat.h"
#include "ui/frmmakehtml.h"
#include "platform/services.h"
#include "settings/settingsopener.h"
#include "store/capturefolder.h"
#include "store/settings.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/settingcommands.h"

namespace klavoro {

namespace {

void makeHtml(frmKlavoro& w) {
    MakeHtmlContext c;
    c.steps = &w.steps();
    c.settings = &conf();
    c.dialogs = &w.dialogs();
    c.notices = &w.notices();
    c.shell = w.platform() ? w.platform()->shell : nullptr;
    c.status = [&w](const QString& text) { w.setStatus(text); };
    c.paths = {captureFolder(), htmlPartsFolder()};
    runMakeHtml(std::move(c), &w);
}

} // namespace

void registerHtmlCommands(frmKlavoro& w, CommandMap& map) {
    map.add(QStringLiteral("mnuMakeHtml"), [&w] { makeHtml(w); });
    map.add(QStringLiteral("mnuListMakeHtml"), [&w] { makeHtml(w); });
    map.add(QStringLiteral("mnuFormatSetting"), [&w] { openFormatDialog(&w); });
    settingsOpener(w).setFormatWindow([](QWidget* parent) { openFormatDialog(parent); });
}

} // namespace klavoro

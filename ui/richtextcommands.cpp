// The rich-text window and the Word document, from the main menu and the
// step list's menu.
#include "export/documentsteps.h"
#include "ui/frmrichtxt.h"
#include "export/richtextbuild.h"
#include "export/wordexport.h"
#include "platform/services.h"
#include "store/capturefolder.h"
#include "store/events.h"
#include "store/settings.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"

#include <QPointer>

namespace klavoro {

namespace {

void openRichText(frmKlavoro& w) {
    if (!mayBuildRichText(w.steps().count(), w.dialogs())) return;
    // Without a parent: a window of the disabled main window would be disabled too.
    auto* form = new frmRichTxt(
        std::make_unique<StepListExportHost>(w.steps(), captureFolder(), w.notices()));
    form->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<frmRichTxt> open(form);
    w.setEnabled(false);
    QObject::connect(form, &frmRichTxt::closed, &w, [&w] {
        w.setEnabled(true);
        w.showNormal();
        w.raise();
        w.activateWindow();
    });
    // The program ending closes it too, with its question about saving.
    QObject::connect(&w, &frmKlavoro::closing, form, [open] {
        if (open) open->close();
    });
    form->show();
    {
        LongOperation building;
        form->Form_Load(conf());
    }
    form->raise();
    form->activateWindow();
}

void makeWordDocument(frmKlavoro& w) {
    LongOperation writing;
    StepListExportHost host(w.steps(), captureFolder(), w.notices());
    exportWordDocument(host, conf(), w.dialogs(), w.platform() ? w.platform()->shell : nullptr);
}

} // namespace

void registerRichTextCommands(frmKlavoro& w, CommandMap& map) {
    map.add(QStringLiteral("mnuMakeRichText"), [&w] { openRichText(w); });
    map.add(QStringLiteral("mnuListMakeRichText"), [&w] { openRichText(w); });
    map.add(QStringLiteral("mnuMakeWordDoc"), [&w] { makeWordDocument(w); });
    map.add(QStringLiteral("mnuListMakeWordDoc"), [&w] { makeWordDocument(w); });
}

} // namespace klavoro

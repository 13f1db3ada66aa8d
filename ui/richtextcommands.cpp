// The rich-text window and the Word, PDF and Markdown documents, from the main
// menu and the step list's menu.
#include "export/documentexport.h"
#include "export/documentsteps.h"
#include "export/richtextbuild.h"
#include "platform/services.h"
#include "store/capturefolder.h"
#include "store/events.h"
#include "store/settings.h"
#include "store/steplist.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/frmrichtxt.h"

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

using DocumentCommand = QString (*)(ExportHost&, const Settings&, Dialogs&, Shell*);

// The progress lets window events run between steps: under the guard.
void makeDocument(frmKlavoro& w, DocumentCommand command) {
    LongOperation writing;
    StepListExportHost host(w.steps(), captureFolder(), w.notices());
    command(host, conf(), w.dialogs(), w.platform() ? w.platform()->shell : nullptr);
}

} // namespace

void registerRichTextCommands(frmKlavoro& w, CommandMap& map) {
    map.add(QStringLiteral("mnuMakeRichText"), [&w] { openRichText(w); });
    map.add(QStringLiteral("mnuListMakeRichText"), [&w] { openRichText(w); });
    map.add(QStringLiteral("mnuMakeWordDoc"), [&w] { makeDocument(w, exportWordDocument); });
    map.add(QStringLiteral("mnuListMakeWordDoc"), [&w] { makeDocument(w, exportWordDocument); });
    map.add(QStringLiteral("mnuMakePdf"), [&w] { makeDocument(w, exportPdfDocument); });
    map.add(QStringLiteral("mnuListMakePdf"), [&w] { makeDocument(w, exportPdfDocument); });
    map.add(QStringLiteral("mnuMakeMarkdown"), [&w] { makeDocument(w, exportMarkdownDocument); });
    map.add(QStringLiteral("mnuListMakeMarkdown"),
            [&w] { makeDocument(w, exportMarkdownDocument); });
}

} // namespace klavoro

// Step editing: deleting and moving steps, the sentence editor, building a
// list from images and the consistency check.
#include "ui/editcommands.h"

#include "platform/services.h"
#include "record/runmode.h"
#include "settings/settingsopener.h"
#include "ui/frmcheckfile.h"
#include "edit/listfromimages.h"
#include "edit/messageedit.h"
#include "store/oplist.h"
#include "edit/stepdeletion.h"
#include "edit/stepedithost.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "edit/stepmove.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/frmmsgedit.h"
#include "ui/settingcommands.h"

#include <QCursor>
#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>

namespace klavoro {

namespace {

class WindowEditHost : public StepEditHost {
public:
    explicit WindowEditHost(frmKlavoro& w) : m_w(w) {}
    bool isForeground() const override { return m_w.isActiveWindow(); }
    QString currentStepText() const override { return m_w.txtNo->text(); }
    void setCurrentStepText(const QString& text) override { m_w.txtNo->setText(text); }
    void setRecordingStepNumber(int n) override {
        if (recordingSink) recordingSink(n);
    }
    void selectStep(int n) override { m_w.selectStep(n); }
    void setRedraw(bool on) override { m_w.setRedraw(on); }
    void setStatus(const QString& text) override { m_w.setStatus(text); }
    int stripFirstStep() const override { return m_w.stripFirstStep(); }
    void setStripFirstStep(int n) override { m_w.setStripFirstStep(n); }
    int stripPanelCount() const override { return m_w.stripPanelCount(); }
    // refreshStrip: the strip shows the same model and keeps its pictures by
    // image name, so moved and deleted steps need nothing more.
    void setImageSizePanelVisible(bool v) override { m_w.setImageSizePanelVisible(v); }
    void setKeyBoxVisible(bool v) override { m_w.frKey->setVisible(v); }
    void clearStepView() override {
        m_w.txtCtrl->clear();
        m_w.txtKey->clear();
        m_w.txtNo->clear();
        m_w.clearImage();
    }
    void reloadList() override { m_w.reloadList(); }

    std::function<void(int)> recordingSink;

private:
    frmKlavoro& m_w;
};

const QString kStateName = QStringLiteral("klavoroEditState");

// What the family keeps per window: a child of the window, found by name.
class EditState : public QObject {
public:
    explicit EditState(frmKlavoro& w)
        : QObject(&w), window(w), host(w),
          deletion(w.steps(), w.operationList(), host, w.dialogs(), w.notices()) {
        setObjectName(kStateName);
    }

    // The sentence editor on the selected step. A changed list is saved at
    // once, from the menu as after a double click: it would otherwise wait
    // for the next save.
    void editSentence() {
        if (window.steps().selectedStep() < 1) return;
        MessageEditSession session(window.steps(), window.operationList(), host, window.dialogs(),
                                   memory);
        InputMethod* ime = window.platform() ? window.platform()->inputMethod : nullptr;
        const int left = window.txtCtrl->mapToGlobal(QPoint(0, 0)).x();
        runMessageEditor(session, ime, &window, QCursor::pos(), left);
        if (window.operationList().messageEdited) window.operationList().save();
        // The sentence box shows the selected step's sentence, edited or not.
        const int n = window.steps().selectedStep();
        if (n > 0) window.txtCtrl->setText(window.steps().field(n, FieldMessage));
    }

    void move(MoveTarget target) {
        moveSelectedStep(window.steps(), window.operationList(), host, target);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Compared by type first: the box's last events arrive while the
        // window is being destroyed, when its members may no longer be read.
        if (event->type() == QEvent::MouseButtonDblClick && watched == window.txtNo) {
            if (QMenu* debug = window.popupMenu(QStringLiteral("mnuDebugTop")))
                debug->menuAction()->setVisible(!debug->menuAction()->isVisible());
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

    frmKlavoro& window;
    WindowEditHost host;
    StepDeletion deletion;
    MessageEditMemory memory;
};

EditState& stateOf(frmKlavoro& w) {
    if (auto* s =
            dynamic_cast<EditState*>(w.findChild<QObject*>(kStateName, Qt::FindDirectChildrenOnly)))
        return *s;
    return *new EditState(w);
}

} // namespace

bool deleteAllStepsAndFiles(frmKlavoro& window) {
    return stateOf(window).deletion.deleteAll(false);
}

void setRecordingStepNumberSink(frmKlavoro& window, std::function<void(int)> sink) {
    stateOf(window).host.recordingSink = std::move(sink);
}

void registerEditCommands(frmKlavoro& w, CommandMap& map) {
    EditState* s = &stateOf(w);
    // The model's selected step can lag behind the view after a mouse click
    // (the current row changes before the row is selected): take the view's.
    auto add = [&map, &w](std::initializer_list<const char*> names,
                          const CommandMap::Handler& run) {
        for (const char* n : names)
            map.add(QString::fromLatin1(n), [&w, run] {
                w.steps().setSelectedStep(w.selectedStepNumber());
                run();
            });
    };
    add({"mnuDel", "mnuListDel"}, [s] { s->deletion.deleteSelected(); });
    add({"mnuLeftDel", "mnuListUpperDel"}, [s] { s->deletion.deleteUpper(); });
    add({"mnuRightDel", "mnuListLowerDel"}, [s] { s->deletion.deleteLower(); });
    add({"mnuDelCheck", "mnuListDelCheck"}, [s] { s->deletion.deleteChecked(); });
    add({"mnuAllDel", "mnuListAllDell"}, [s] { s->deletion.deleteAll(); });

    add({"mnuTextEdit"}, [s] { s->editSentence(); });
    QObject::connect(w.lstRecord, &QAbstractItemView::doubleClicked, s, [s, &w] {
        if (!runMode().isIdle()) return;
        w.steps().setSelectedStep(w.selectedStepNumber());
        s->editSentence();
    });

    add({"mnuMove_0", "mnuListMove_0"}, [s] { s->move(MoveTarget::Previous); });
    add({"mnuMove_1", "mnuListMove_1"}, [s] { s->move(MoveTarget::Next); });
    add({"mnuListMove_2"}, [s] { s->move(MoveTarget::First); });
    add({"mnuListMove_3"}, [s] { s->move(MoveTarget::Last); });

    add({"mnuLoadImgFiles"}, [s, &w] { loadImageFiles(s->host, w.dialogs(), w.notices()); });
    add({"mnuFileCheck"}, [&w] { showFileCheck(w.steps(), &w); });
    // The settings dialog's button opens the same window over the dialog.
    settingsOpener(w).setCheckFileWindow(
        [&w](QWidget* over) { showFileCheck(w.steps(), over ? over : &w); });

    w.txtNo->installEventFilter(s);
}

} // namespace klavoro

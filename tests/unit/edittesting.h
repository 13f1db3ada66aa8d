#pragma once

#include "store/capturefolder.h"
#include "store/notices.h"
#include "store/oplist.h"
#include "store/sjis.h"
#include "edit/stepedithost.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>

namespace klavoro::test {

// Answers OK/Cancel questions too and remembers them.
class EditDialogs : public FakeDialogs {
public:
    bool askOkCancel(const QString& text, const QString& title) override {
        questions << text;
        titles << title;
        return okAnswer;
    }
    bool askOkCancelDefaultCancel(const QString& text, const QString& title) override {
        cancelFirst << text;
        return askOkCancel(text, title);
    }
    bool okAnswer = true;
    QStringList cancelFirst;
};

// The main window as the editing commands see it.
class EditHost : public OpListHost, public StepEditHost {
public:
    explicit EditHost(StepList& steps) : m_steps(steps) {}
    QString currentStepText() const override { return txtNo; }
    void setCurrentStepText(const QString& t) override { txtNo = t; }
    void setRecordingStepNumber(int n) override { recording = n; }
    // As the window does, the step number box follows the selection.
    void selectStep(int n) override {
        selected = n;
        m_steps.setSelectedStep(n);
        if (n > 0) txtNo = QString::number(n);
    }
    void setRedraw(bool on) override { redraw << on; }
    void setStatus(const QString& s) override { statuses << s; }
    int stripFirstStep() const override { return stripFirst; }
    void setStripFirstStep(int n) override { stripFirst = n; }
    int stripPanelCount() const override { return panels; }
    void setImageSizePanelVisible(bool v) override { imageSizePanel = v; }
    void setKeyBoxVisible(bool v) override { keyBox = v; }
    void clearStepView() override { ++viewCleared; }
    void reloadList() override;
    void setOperationList(OperationList* ops) { m_ops = ops; }

    QString txtNo;
    int recording = -1, selected = -1, stripFirst = 1, panels = 3, viewCleared = 0, reloads = 0;
    bool imageSizePanel = true, keyBox = true;
    QList<bool> redraw;
    QStringList statuses;

private:
    StepList& m_steps;
    OperationList* m_ops = nullptr;
};

inline void EditHost::reloadList() {
    ++reloads;
    m_steps.clear();
    if (m_ops) m_ops->load();
}

// A capture folder "data" in a scratch program folder, with a list whose steps
// may have their image, NO_RECT copy and thumbnail on disk.
struct EditBench {
    EditBench() { host.setOperationList(&ops); }

    ScratchHome home;
    EditDialogs dialogs;
    SilentNotices notices;
    StepList steps;
    EditHost host{steps};
    OperationList ops{steps, host, dialogs};

    QString folder() const { return captureFolder(); }
    QString file(const QString& rel) const { return folder() + rel; }
    bool exists(const QString& rel) const { return QFileInfo::exists(file(rel)); }
    void put(const QString& rel, const QByteArray& bytes = "x") const {
        QDir().mkpath(QFileInfo(file(rel)).absolutePath());
        writeBytes(file(rel), bytes);
    }
    // Appends a step; with `files` its image, NO_RECT copy and thumbnail exist.
    void addStep(const QString& name, const QString& message = QStringLiteral("文"),
                 const QString& ext = QStringLiteral("jpg"), const QString& check = QString(),
                 bool files = true) {
        steps.append(buildStepLine(steps.count() + 1, name, message, ext, check));
        if (!files) return;
        put(name + '.' + ext, name.toUtf8());
        put("NO_RECT/" + name + '.' + ext);
        put("Thumb/Thumb_" + name + ".jpg");
    }
    // Steps s1..sN with their files; txtNo shows the last.
    void addSteps(int n) {
        for (int i = 1; i <= n; ++i)
            addStep(name(i));
        host.txtNo = QString::number(n);
    }
    static QString name(int i) {
        return QStringLiteral("20260101000000%1").arg(i, 2, 10, QChar('0'));
    }
    QStringList names() const {
        QStringList out;
        for (int i = 1; i <= steps.count(); ++i)
            out << steps.field(i, FieldImageName);
        return out;
    }
    QString savedList() const { return fromShiftJis(readBytes(file("OpList.txt"))); }
};

} // namespace klavoro::test

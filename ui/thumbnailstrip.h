#pragma once

#include "export/thumbnailloader.h"
#include "export/thumbnails.h"

#include <QListView>

namespace klavoro {

class Dialogs;
class OperationList;
class StepList;
class ThumbnailDelegate;
struct Settings;

// The thumbnail strip: one horizontal row of panels over the step list model,
// drawn by a delegate; thumbnails are made on demand on worker threads, so
// scrolling never waits for one. The scroll position is the first step shown.
class ThumbnailStrip : public QListView {
    Q_OBJECT
public:
    // `loader` makes the thumbnails; it outlives the strip.
    ThumbnailStrip(StepList& steps, ThumbnailLoader& loader, Settings& settings,
                   QWidget* parent = nullptr);
    ~ThumbnailStrip() override;

    // The capture folder the thumbnails belong to (with a trailing separator).
    void setCaptureFolder(const QString& folder);
    // Where a changed check mark is saved.
    void setOperationList(OperationList* list) { m_opList = list; }
    // Takes `thumbnail width`, `height`, `mag`, `chk size`, `chk color` and
    // `text mag` from the settings and lays the strip out again.
    void applySettings();

    // 1-based number of the first step shown (1 for an empty list).
    int firstStep() const;
    void setFirstStep(int n);
    // Panels shown: strip width / panel width, rounded.
    int shownPanelCount() const;
    // Scrolls so that step n is the last panel shown: first = max(1, n - shown + 1).
    void showStep(int n);
    QSize panelSize() const;
    // Tall enough for one row of panels and the scroll bar; the window's
    // splitter may give it more.
    QSize sizeHint() const override;
    // The check-mark box of step n's panel in view coordinates (empty when not shown).
    QRect checkBoxRect(int n) const;
    QRect panelRect(int n) const;

    // Makes step n's thumbnail again from its image (0: every thumbnail is read again).
    void refreshStep(int n);

    // mnuThumbListCheckAll: set or clear every mark and save the list.
    void setAllMarks(bool on);
    // The check-mark click: toggles step n's mark and saves. True when now checked.
    bool toggleMark(int n);
    // mnuThumbListSize: zoom by 1.3 ("＋") or 0.7 ("－"); a refused factor is
    // explained under the title "サムネイルサイズ". True when it changed.
    bool zoom(bool larger, Dialogs& dialogs);

    ThumbnailLoader& loader() { return m_loader; }

signals:
    // A click on a panel outside its check-mark box.
    void stepClicked(int n);
    // A left press on a panel outside its check-mark box.
    void panelPressed(int n);
    void checkMarkToggled(int n, bool on);
    void rightClicked(int n, const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class Part { None, Image, CheckBox };
    Part partAt(const QPoint& pos, int* step) const;

    StepList& m_steps;
    Settings& m_settings;
    OperationList* m_opList = nullptr;
    ThumbnailLoader& m_loader;
    ThumbnailDelegate* m_delegate = nullptr;
    int m_pressedStep = 0;
};

} // namespace klavoro

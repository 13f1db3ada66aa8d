// The search window's commands: one non-modal window beside the main window.
#include "platform/services.h"
#include "store/oplist.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "store/stepsearch.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/frmsearch.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include <memory>

namespace klavoro {

namespace {

class WindowSearchHost : public StepSearchHost {
public:
    explicit WindowSearchHost(frmKlavoro& w) : m_w(w) {}
    void selectLine(int k) override { m_w.selectLine(k); }
    bool saveList() override { return m_w.operationList().save(); }
    // The sentence field shows the selected step; it may have been rewritten.
    void linesChanged() override {
        if (m_w.selectedStepNumber() > 0 && m_w.txtCtrl)
            m_w.txtCtrl->setText(m_w.steps().field(0, FieldMessage));
    }

private:
    frmKlavoro& m_w;
};

// To the right of the main window when the screen has room, else to its
// left, else over its right edge.
void placeBeside(QWidget& search, const QWidget& main) {
    const QRect m = main.frameGeometry();
    const QScreen* screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect s = screen->availableGeometry();
    const QSize size = search.frameGeometry().size();
    int x = m.right() + 1;
    if (x + size.width() > s.right() + 1) x = m.left() - size.width();
    if (x < s.left()) x = std::max(s.left(), s.right() + 1 - size.width());
    const int y = std::clamp(m.top(), s.top(), std::max(s.top(), s.bottom() + 1 - size.height()));
    search.move(x, y);
}

// The frame's size is known only once the window manager has framed the
// window: place it again when it is first exposed.
class PlaceWhenExposed : public QObject {
public:
    PlaceWhenExposed(QWidget& search, const QWidget& main)
        : QObject(&search), m_search(search), m_main(main) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Expose && m_search.isVisible()) {
            placeBeside(m_search, m_main);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& m_search;
    const QWidget& m_main;
};

struct SearchState {
    explicit SearchState(frmKlavoro& w) : host(w) {}
    WindowSearchHost host;
    QPointer<frmSearch> window;
};

} // namespace

void registerSearchCommands(frmKlavoro& w, CommandMap& map) {
    auto state = std::make_shared<SearchState>(w);
    auto open = [&w, state] {
        if (state->window) {
            state->window->show();
            state->window->raise();
            state->window->activateWindow();
            return;
        }
        InputMethod* im = w.platform() ? w.platform()->inputMethod : nullptr;
        auto* search = new frmSearch(w.steps(), state->host, im, &w);
        search->setAttribute(Qt::WA_DeleteOnClose);
        state->window = search;
        search->winId(); // its window, to watch for the first exposure
        search->windowHandle()->installEventFilter(new PlaceWhenExposed(*search, w));
        placeBeside(*search, w);
        search->show();
    };
    map.add(QStringLiteral("mnuSearch"), open);
    map.add(QStringLiteral("mnuListSearch"), open);
    // Closed before the settings are written, so that `edit mode` is in them.
    QObject::connect(&w, &frmKlavoro::closing, &w, [state] {
        if (state->window) state->window->close();
    });
}

} // namespace klavoro

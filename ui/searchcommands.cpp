// The search window's commands: one non-modal window beside the main window.
#include "platform/services.h"
#include "store/oplist.h"
#include "store/stepline.h"
#include "store/steplist.h"
#include "edit/stepsearch.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"
#include "ui/frmsearch.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTimer>

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
// left, else over its right edge. True when it was there already.
bool placeBeside(QWidget& search, const QWidget& main) {
    const QRect m = main.frameGeometry();
    const QScreen* screen = main.screen() ? main.screen() : QGuiApplication::primaryScreen();
    if (!screen) return true;
    const QRect s = screen->availableGeometry();
    const QSize size = search.frameGeometry().size();
    int x = m.right() + 1;
    if (x + size.width() > s.right() + 1) x = m.left() - size.width();
    if (x < s.left()) x = std::max(s.left(), s.right() + 1 - size.width());
    const int y = std::clamp(m.top(), s.top(), std::max(s.top(), s.bottom() + 1 - size.height()));
    if (search.frameGeometry().topLeft() == QPoint(x, y)) return true;
    search.move(x, y);
    return false;
}

// The frames' sizes are known only once the window manager has framed the
// windows, and the manager may place them meanwhile: until the framed search
// window stands where it should (or a few seconds passed, as without a
// window manager, where it stands right at once), it is put back beside the
// main window.
void keepBesideWhileShowing(QWidget& search, QWidget& main) {
    auto* timer = new QTimer(&search);
    timer->setInterval(50);
    const QDeadlineTimer until(3000);
    QObject::connect(timer, &QTimer::timeout, &search, [&search, &main, timer, until] {
        const bool inPlace = placeBeside(search, main);
        if ((inPlace && search.frameGeometry() != search.geometry()) || until.hasExpired())
            timer->deleteLater();
    });
    timer->start();
}

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
        placeBeside(*search, w);
        search->show();
        keepBesideWhileShowing(*search, w);
    };
    map.add(QStringLiteral("mnuSearch"), open);
    map.add(QStringLiteral("mnuListSearch"), open);
    // Closed before the settings are written, so that `edit mode` is in them.
    QObject::connect(&w, &frmKlavoro::closing, &w, [state] {
        if (state->window) state->window->close();
    });
}

} // namespace klavoro

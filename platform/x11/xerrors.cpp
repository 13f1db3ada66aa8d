#include "platform/x11/xerrors.h"

#include <atomic>
#include <mutex>

namespace klavoro::x11 {
namespace {
std::atomic<unsigned long> g_errorCount{0};
std::atomic<int> g_lastCode{0};

int recordError(Display*, XErrorEvent* event) {
    g_lastCode = event->error_code;
    ++g_errorCount;
    return 0;
}
} // namespace

void installErrorHandler() {
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(recordError); });
}

XErrorTrap::XErrorTrap(Display* display) : m_display(display) {
    installErrorHandler();
    XSync(m_display, False);
    m_start = g_errorCount.load();
}

bool XErrorTrap::failed() {
    XSync(m_display, False);
    if (g_errorCount.load() != m_start) {
        m_code = g_lastCode.load();
        m_start = g_errorCount.load();
        return true;
    }
    return false;
}

} // namespace klavoro::x11

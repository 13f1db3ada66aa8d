#include "platform/x11/xerrors.h"

#include <mutex>
#include <unordered_map>

namespace klavoro::x11 {
namespace {

struct Errors {
    unsigned long count = 0;
    int lastCode = 0;
};

// Per connection: the input hook's thread has connections of its own, and a
// trap must not see another thread's errors. A trap compares counts, so a
// connection opened where a closed one lay inherits nothing that matters.
std::mutex g_lock;
std::unordered_map<Display*, Errors>& errorTable() {
    static std::unordered_map<Display*, Errors> table;
    return table;
}

int recordError(Display* display, XErrorEvent* event) {
    std::lock_guard<std::mutex> guard(g_lock);
    Errors& e = errorTable()[display];
    e.lastCode = event->error_code;
    ++e.count;
    return 0;
}

Errors errorsOf(Display* display) {
    std::lock_guard<std::mutex> guard(g_lock);
    const auto it = errorTable().find(display);
    return it == errorTable().end() ? Errors{} : it->second;
}

} // namespace

void installErrorHandler() {
    static std::once_flag once;
    std::call_once(once, [] { XSetErrorHandler(recordError); });
}

XErrorTrap::XErrorTrap(Display* display) : m_display(display) {
    installErrorHandler();
    XSync(m_display, False);
    m_start = errorsOf(m_display).count;
}

bool XErrorTrap::failed() {
    XSync(m_display, False);
    const Errors now = errorsOf(m_display);
    if (now.count != m_start) {
        m_code = now.lastCode;
        m_start = now.count;
        return true;
    }
    return false;
}

} // namespace klavoro::x11

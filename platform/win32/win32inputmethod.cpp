#include "platform/win32/win32inputmethod.h"

#include <windows.h>

#include <imm.h>

namespace klavoro::win32 {

namespace {
// The focused window's input context for the length of one call.
class Context {
public:
    Context() : m_window(GetFocus() ? GetFocus() : GetActiveWindow()) {
        if (m_window) m_context = ImmGetContext(m_window);
    }
    ~Context() {
        if (m_context) ImmReleaseContext(m_window, m_context);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    HIMC get() const { return m_context; }

private:
    HWND m_window = nullptr;
    HIMC m_context = nullptr;
};
} // namespace

bool Win32InputMethod::isAvailable() {
    return Context().get() != nullptr;
}

bool Win32InputMethod::isOpen() {
    const Context c;
    return c.get() && ImmGetOpenStatus(c.get());
}

void Win32InputMethod::setOpen(bool open) {
    const Context c;
    if (c.get()) ImmSetOpenStatus(c.get(), open ? TRUE : FALSE);
}

} // namespace klavoro::win32

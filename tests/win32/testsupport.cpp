#include "tests/win32/testsupport.h"

#include "platform/win32/win32instancelock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <string>

namespace klavoro::win32::test {

bool pumpUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        QThread::msleep(5);
    }
    return true;
}

bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void pump(int ms) {
    pumpUntil([] { return false; }, ms);
}

namespace {
const wchar_t kClass[] = L"KlavoroTestTarget";

LRESULT CALLBACK targetProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(w, message, wParam, lParam);
}

int showTarget(int x, int y, int width, int height, bool form) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = targetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground =
        CreateSolidBrush(RGB(kTargetColour.red(), kTargetColour.green(), kTargetColour.blue()));
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);
    const std::wstring title = kTargetTitle.toStdWString();
    HWND w = CreateWindowExW(0, kClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                             width, height, nullptr, nullptr, wc.hInstance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 80, 30, w,
                    nullptr, wc.hInstance, nullptr);
    if (form) {
        const wchar_t* classes[3] = {L"STATIC", L"EDIT", L"EDIT"};
        const DWORD styles[3] = {SS_LEFT, ES_LEFT, ES_PASSWORD};
        for (int i = 0; i < 3; ++i) {
            const std::wstring text = kFormTexts[i].toStdWString();
            CreateWindowExW(0, classes[i], text.c_str(), WS_CHILD | WS_VISIBLE | styles[i], 10,
                            50 + 30 * i, 260, 22, w, nullptr, wc.hInstance, nullptr);
        }
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
} // namespace

int runHelper(int argc, char** argv) {
    const std::string mode = argv[1];
    if (mode == "--window" && argc >= 6)
        return showTarget(std::stoi(argv[2]), std::stoi(argv[3]), std::stoi(argv[4]),
                          std::stoi(argv[5]), false);
    if (mode == "--form" && argc >= 6)
        return showTarget(std::stoi(argv[2]), std::stoi(argv[3]), std::stoi(argv[4]),
                          std::stoi(argv[5]), true);
    if (mode == "--hold-lock" && argc >= 3) {
        Win32InstanceLock lock(QString::fromLocal8Bit(argv[2]));
        if (!lock.acquire()) return 2;
        Sleep(INFINITE);
    }
    return 1;
}

Helper Helper::window(const QRect& r, bool form) {
    Helper h;
    if (!h.launch(QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(form ? QStringLiteral("--form") : QStringLiteral("--window"))
                      .arg(r.x())
                      .arg(r.y())
                      .arg(r.width())
                      .arg(r.height())))
        return h;
    const std::wstring title = kTargetTitle.toStdWString();
    pumpUntil(
        [&] {
            h.m_window = FindWindowW(kClass, title.c_str());
            return h.m_window != nullptr && IsWindowVisible(h.m_window);
        },
        10000);
    pump(300); // painted
    return h;
}

Helper Helper::lockHolder(const QString& lockName) {
    Helper h;
    h.launch(QStringLiteral("--hold-lock ") + lockName);
    return h;
}

bool Helper::launch(const QString& arguments) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self) + L"\" " + arguments.toStdWString();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &m_info);
}

Helper::Helper(Helper&& other) noexcept : m_info(other.m_info), m_window(other.m_window) {
    other.m_info = {};
    other.m_window = nullptr;
}

Helper::~Helper() {
    kill();
}

bool Helper::isRunning() const {
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

void Helper::kill() {
    if (!m_info.hProcess) return;
    TerminateProcess(m_info.hProcess, 0);
    WaitForSingleObject(m_info.hProcess, 5000);
    CloseHandle(m_info.hProcess);
    CloseHandle(m_info.hThread);
    m_info = {};
    m_window = nullptr;
}

} // namespace klavoro::win32::test

#pragma once
// What the Windows platform tests share: the event pump and a target window
// in a process of its own (the hook and accessibility skip our own process).
#include <QColor>
#include <QRect>
#include <QString>

#include <functional>

#include <windows.h>

namespace klavoro::win32::test {

// Lets Qt and Windows handle events for `ms`, or until `done` says so.
bool pumpUntil(const std::function<bool()>& done, int ms = 2000);
void pump(int ms);

// The tests run under Wine, which lacks some of what Windows gives.
bool underWine();

// The colour and caption of the other process's window.
inline const QColor kTargetColour(200, 40, 60);
inline const QString kTargetTitle = QStringLiteral("クラヴォロ 対象の窓");

// What a form window shows below its button: a label, a field and a
// password field, with personal data in the first two.
inline const QString kFormTexts[3] = {QStringLiteral("連絡先: jiro.suzuki@example.jp"),
                                      QStringLiteral("hanako@example.com"),
                                      QStringLiteral("hunter2")};

// This test program started again as the other process: a plain window
// painted in kTargetColour at `rect` with a button "OK" near its top left
// (a `form` also with kFormTexts), or a holder of a named instance lock.
// Ended when the object goes.
class Helper {
public:
    static Helper window(const QRect& rect, bool form = false);
    static Helper lockHolder(const QString& lockName);
    Helper(Helper&& other) noexcept;
    ~Helper();
    bool isRunning() const;
    void kill();
    HWND hwnd() const { return m_window; }
    DWORD processId() const { return m_info.dwProcessId; }

private:
    Helper() = default;
    bool launch(const QString& arguments);
    PROCESS_INFORMATION m_info{};
    HWND m_window = nullptr;
};

// The helper's entry points, run from main() when asked.
int runHelper(int argc, char** argv);

} // namespace klavoro::win32::test

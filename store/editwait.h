#pragma once

#include <QString>

#include <functional>

namespace klavoro {

class Desktop;
class Shell;

// What edit-and-wait needs besides the desktop and the shell.
struct EditWaitHooks {
    std::function<bool()> escapePressed;            // the Esc key is down
    std::function<void()> restoreMainWindow;        // back to its normal size
    std::function<void(bool)> setMainWindowTopMost; // stay on top or not
};

// Opens a text file in the user's editor and waits until that editor's window
// closes. Returns the empty text on success, otherwise the message to show.
// Windows are recognised by the file's name (without extension) in their title.
QString editAndWait(const QString& path, int minimumNameLength, Desktop& desktop, Shell& shell,
                    const EditWaitHooks& hooks);

} // namespace klavoro

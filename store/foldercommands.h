#pragma once

#include <QString>

#include <functional>

namespace klavoro {

class Dialogs;

// The ways the user changes the capture folder. Each sets `save folder path`
// and then calls `reload`, which empties the list and the image view, loads the
// list of the new folder and rebuilds the window title.
class FolderCommands {
public:
    FolderCommands(Dialogs& dialogs, std::function<void()> reload);

    // A folder chosen in the folder dialog: stored in full (the folder button)
    // or relative to the capture base folder (the menu entries).
    void chooseFolder(const QString& chosen, bool storeRelative);

    // Back to the default folder "data", after asking.
    void resetToDefault();

    // Switch to the NO_RECT sub-folder of unmarked copies, and back.
    void switchToUnmarked();
    void switchBackFromUnmarked();

    // When `confirm Append` is 1 and the capture folder is a NO_RECT folder,
    // offers to switch back. True when it switched.
    bool checkUnmarkedFolder();

private:
    Dialogs& m_dialogs;
    std::function<void()> m_reload;
};

// True when the last part of the path is NO_RECT, in any letter case.
bool isUnmarkedFolder(const QString& path);

} // namespace klavoro

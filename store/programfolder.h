#pragma once

#include <QString>

namespace klavoro {

// The environment variable that overrides the program folder (tests, portable use).
inline constexpr const char* kProgramFolderEnv = "KLAVORO_HOME";

// Where the program keeps its files. A portable copy (its executable's folder
// writable, not an installed layout) keeps everything in that folder, as does
// $KLAVORO_HOME. An installed copy follows the XDG base directories and reads
// what it ships from <prefix>/share/klavoro. Every folder ends with '/'.
struct FolderLayout {
    QString program;     // Conf.txt, the logs, the wait marker, the lock fallback
    QString captureBase; // the default capture folder "data", relative capture folders
    QString shipped;     // parts/js, cursors, media, chars
    bool installed = false;
};

// What the layout is decided from; gathered from the process by `currentFolderInputs`.
struct FolderInputs {
    QString klavoroHome; // $KLAVORO_HOME
    QString exeFolder;   // the folder of the executable
    bool exeFolderWritable = true;
    QString installedShared; // <exe folder>/../share/klavoro when that is a folder
    QString xdgConfigHome;   // $XDG_CONFIG_HOME
    QString xdgDataHome;     // $XDG_DATA_HOME
    QString userHome;        // $HOME
};

FolderLayout folderLayout(const FolderInputs& in);
FolderInputs currentFolderInputs();

// The folders of this process (decided once; `resetProgramFolder` forgets).
QString programFolder();
QString captureBaseFolder();
QString shippedFilesFolder();
// Where to look for a file that comes with the program: the folder above,
// then the copy that came with the executable (a KLAVORO_HOME without its
// own copy of a file still finds it).
QStringList shippedFileFolders();
QStringList shippedFileFolders(const FolderInputs& in);
bool isInstalledCopy();

// Creates the folders the program writes to (settings and captures).
void createUserFolders();

// Forget the cached layout (tests change the environment between cases).
void resetProgramFolder();

} // namespace klavoro

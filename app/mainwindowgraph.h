#pragma once

#include "export/thumbnailloader.h"
#include "record/statusblock.h"
#include "store/steplist.h"

#include <memory>

namespace klavoro {

class ConfFile;
class Dialogs;
class Notices;
class NotificationArea;
class frmKlavoro;
struct PlatformServices;

// The main window with everything it is handed, made in order: the step
// list, the thumbnail maker and the status block first, then the window,
// Conf.txt's file (which places the window) and the command families. The
// program makes it with its real services (CompositionRoot); tests and
// benchmarks make their own with theirs.
class MainWindowGraph {
public:
    struct Services {
        PlatformServices& platform;
        Dialogs& dialogs;
        Notices& notices;
        NotificationArea& tray;
    };
    explicit MainWindowGraph(const Services& services);
    ~MainWindowGraph();
    MainWindowGraph(const MainWindowGraph&) = delete;
    MainWindowGraph& operator=(const MainWindowGraph&) = delete;

    frmKlavoro& window() { return *m_window; }
    ConfFile& confFile() { return *m_confFile; }
    StatusBlock& statusBlock() { return m_statusBlock; }
    StepList& steps() { return m_steps; }

private:
    StepList m_steps;
    ThumbnailLoader m_thumbnails;
    StatusBlock m_statusBlock;
    std::unique_ptr<frmKlavoro> m_window;
    std::unique_ptr<ConfFile> m_confFile;
};

} // namespace klavoro

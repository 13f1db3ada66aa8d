#include "app/mainwindowgraph.h"

#include "platform/services.h"
#include "record/runmode.h"
#include "store/conffile.h"
#include "store/settings.h"
#include "ui/commandfamilies.h"
#include "ui/frmklavoro.h"

namespace klavoro {

MainWindowGraph::MainWindowGraph(const Services& services)
    : m_statusBlock(services.platform.statusMemory) {
    m_window = std::make_unique<frmKlavoro>(MainServices{
        .platform = services.platform,
        .dialogs = services.dialogs,
        .notices = services.notices,
        .tray = services.tray,
        .steps = m_steps,
        .thumbnails = m_thumbnails,
        .statusBlock = m_statusBlock,
        .settings = conf(),
        .runMode = runMode(),
    });
    m_confFile = std::make_unique<ConfFile>(*m_window, &services.dialogs);
    registerCommandFamilies(*m_window, *m_confFile);
}

// The families hold the window; the window goes before the list it shows.
MainWindowGraph::~MainWindowGraph() {
    m_confFile.reset();
    m_window.reset();
}

} // namespace klavoro

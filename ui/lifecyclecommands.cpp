// The end command of the main window.
#include "store/notices.h"
#include "ui/commandfamilies.h"
#include "ui/commandmap.h"
#include "ui/frmklavoro.h"

#include <QPointer>
#include <QTimer>

namespace klavoro {

void registerLifecycleCommands(frmKlavoro& w, CommandMap& map) {
    map.add(QStringLiteral("mnuEnd2"), [&w] {
        // A second end while the notice shows changes nothing.
        if (w.property("ending").toBool()) return;
        w.setProperty("ending", true);
        w.notices().showProgress(QStringLiteral("終了します！"), 1000);
        QPointer<frmKlavoro> window(&w);
        QTimer::singleShot(1000, &w, [window] {
            if (!window) return;
            window->setProperty("ending", false); // the close may be refused (recording)
            window->close();
        });
    });
}

} // namespace klavoro

#include "ui/commandmap.h"

#include "store/events.h"

#include <algorithm>

namespace klavoro {

void CommandMap::add(const QString& name, Handler run) {
    m_handlers.insert(name, std::move(run));
}

bool CommandMap::run(const QString& name) const {
    const auto it = m_handlers.constFind(name);
    if (it == m_handlers.constEnd() || !*it) return false;
    const LongOperations& ops = LongOperations::instance();
    if (ops.isRunning() && !isStopCommand(name)) {
        if (m_refused)
            m_refused(ops.isStoppable() ? QStringLiteral("「停止」して下さい！")
                                        : QStringLiteral("処理中です。終わるまでお待ち下さい。"));
        return false;
    }
    (*it)();
    return true;
}

bool CommandMap::isStopCommand(const QString& name) {
    return name == QLatin1String("cmdStop") || name == QLatin1String("mnuStop");
}

QStringList CommandMap::names() const {
    QStringList list = m_handlers.keys();
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace klavoro

#include "ui/commandmap.h"

#include <algorithm>

namespace klavoro {

void CommandMap::add(const QString& name, Handler run) {
    m_handlers.insert(name, std::move(run));
}

bool CommandMap::run(const QString& name) const {
    const auto it = m_handlers.constFind(name);
    if (it == m_handlers.constEnd() || !*it) return false;
    (*it)();
    return true;
}

QStringList CommandMap::names() const {
    QStringList list = m_handlers.keys();
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace klavoro

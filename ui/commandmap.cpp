#include "ui/commandmap.h"

#include "store/events.h"

#include <QFile>

#include <algorithm>

namespace klavoro {

namespace {

// KLAVORO_COMMAND_LOG names a file that learns every command the map holds
// ("map NAME") and every command it runs ("run NAME"), so that the program
// tests can tell a command that no test tried.
void logCommand(const char* kind, const QString& name) {
    static const QString path = qEnvironmentVariable("KLAVORO_COMMAND_LOG");
    if (path.isEmpty()) return;
    QFile file(path);
    // One short write in append mode: lines of several processes never mix.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(QByteArray(kind) + ' ' + name.toUtf8() + '\n');
}

} // namespace

void CommandMap::add(const QString& name, Handler run) {
    m_handlers.insert(name, std::move(run));
    logCommand("map", name);
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
    logCommand("run", name);
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

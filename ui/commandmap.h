#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace klavoro {

// The commands of the main window by name: the object name of the menu entry
// or button that runs them ("mnuMakeHtml", "cmdGo"). A menu entry whose name
// has no command is shown disabled. While a long operation runs only the stop
// commands run; any other is refused and `refused` says why.
class CommandMap {
public:
    using Handler = std::function<void()>;
    using Refused = std::function<void(const QString& why)>;

    explicit CommandMap(Refused refused = {}) : m_refused(std::move(refused)) {}

    // A second add of the same name replaces the first.
    void add(const QString& name, Handler run);
    bool contains(const QString& name) const { return m_handlers.contains(name); }
    // False when no command of that name exists or it was refused.
    bool run(const QString& name) const;
    static bool isStopCommand(const QString& name);
    QStringList names() const;

private:
    Refused m_refused;
    QHash<QString, Handler> m_handlers;
};

} // namespace klavoro

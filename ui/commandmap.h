#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace klavoro {

// The commands of the main window by name: the object name of the menu entry
// or button that runs them ("mnuMakeHtml", "cmdGo"). A menu entry whose name
// has no command is shown disabled.
class CommandMap {
public:
    using Handler = std::function<void()>;

    // A second add of the same name replaces the first.
    void add(const QString& name, Handler run);
    bool contains(const QString& name) const { return m_handlers.contains(name); }
    // False when no command of that name exists.
    bool run(const QString& name) const;
    QStringList names() const;

private:
    QHash<QString, Handler> m_handlers;
};

} // namespace klavoro

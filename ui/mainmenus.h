#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace klavoro {

class CommandMap;

// One entry of a menu: its object name (the command it runs), caption and
// shortcut. A name of "-" is a separator; a name starting with "sub:" opens a
// sub-menu whose entries follow until an entry named "end".
struct MenuEntry {
    const char* name;
    const char* caption;
    const char* shortcut = nullptr;
};

// A menu of the menu bar or a pop-up menu.
struct MenuTable {
    const char* name;    // "mnuFileTop" ... or a pop-up: "mnuList", "mnuPicList", ...
    const char* caption; // shown in the menu bar; pop-ups have none
    bool popup;
    QList<MenuEntry> entries;
};

// Every menu of the main window, in display order.
const QList<MenuTable>& mainMenuTables();

// The menus of the main window built from the tables. Each entry is a QAction
// whose object name is the entry's name; triggering it runs that command.
class MainMenus {
public:
    MainMenus(QWidget* owner, QMenuBar* bar, CommandMap& commands);

    QAction* action(const QString& name) const { return m_actions.value(name); }
    QMenu* menu(const QString& name) const { return m_menus.value(name); }
    QList<QAction*> actions() const { return m_actions.values(); }

    // An entry is enabled exactly when it has a command and `allowed` says so.
    void updateStates(const std::function<bool(const QString&)>& allowed);

private:
    CommandMap& m_commands;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
};

} // namespace klavoro

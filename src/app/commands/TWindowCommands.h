// TWindowCommands: everything the main window runs, handed to it when it is
// built (TfrmMain::BuildControls). It holds the command of each menu item, button and
// window event by the item's name (its objectName), and the session's
// handlers of what happens to the window from outside: the first show, a name
// handed over by a second start, dropped files and closing.
//
// TMainCommands fills it from the command groups, so the window never sees a
// group and the groups see the window only as TMainView. Every function it
// holds refers to the groups of the TMainCommands that made it and must not
// run after that object is gone.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

// What a menu item or button runs; empty for a command that is not built yet.
using TCommand = std::function<void()>;

// A command of a group as a TCommand (its result, if any, is dropped).
template <typename Group, typename Result>
TCommand Cmd(Group* group, Result (Group::*handler)()) {
    return [group, handler] { (group->*handler)(); };
}

struct TWindowCommands {
    // The command named name; empty when there is none.
    TCommand Find(const QString& name) const { return items.value(name); }

    QHash<QString, TCommand> items;

    // Opens the joined command line and the last library, once the window shows.
    std::function<void(const QString& commandLine)> openAtStart;
    // A name handed over by a second start (or by find in files).
    std::function<void(const QString& name)> openHandedOver;
    std::function<void(const QStringList& paths)> openDropped;
    // A library chosen from the start tab's list of the library centre.
    std::function<void(const QString& path)> openLibrary;
    // The save prompt before closing; false keeps the window open.
    std::function<bool()> mayClose;
    // The library steps of closing: compaction, snapshot, the materials.
    std::function<void()> closeLibraries;
};

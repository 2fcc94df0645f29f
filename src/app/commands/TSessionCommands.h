// TSessionCommands: what opens when the main window first shows, when a
// second start hands over a name and when files are dropped on the window,
// and the library steps of closing: the save prompt, compaction, the closing
// snapshot and the materials' compaction. The window reaches it only through
// TWindowCommands; find in files opens its results through it too.
//
// It holds references to the view, the context and the manuscript and
// library groups, which must outlive it. Opening errors are shown by the
// groups that open; an error of a closing step is shown and the next step
// still runs, so closing is never stopped past the save prompt.
#pragma once

#include <QString>
#include <QStringList>

class TAppContext;
class TLibraryCommands;
class TMainView;
class TManuscriptCommands;

class TSessionCommands {
public:
    TSessionCommands(TMainView& view, TAppContext& context, TManuscriptCommands& manuscripts,
                     TLibraryCommands& library);

    // The joined command line (a text file, a library or neither), then the
    // last library when the preferences open it at start.
    void OpenAtStart(const QString& commandLine);
    // Brings the window to the front; a name that is an existing text file or
    // library opens. An empty name only brings the window forward.
    void OpenHandedOver(const QString& name);
    // The first of the dropped files opens; the others are ignored. A file
    // that is neither text nor library is refused with a message.
    void OpenDropped(const QStringList& paths);
    void OpenLibrary(const QString& path);

    // The save prompt of closing: false when the user cancelled it.
    bool MayClose();
    // Compacts the open library when the preferences ask for it, takes the
    // closing snapshot (after the compaction, so it holds the compacted file)
    // and compacts the materials.
    void CloseLibraries();

private:
    TMainView& m_view;
    TAppContext& m_context;
    TManuscriptCommands& m_manuscripts;
    TLibraryCommands& m_library;
};

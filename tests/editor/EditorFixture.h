// A shown frame 800x600 holding one editor, as the main window holds it, and
// the scripted dialog service that records message boxes.
#pragma once

#include "editor/TqlvEditor.h"
#include "support/ScriptedDialogs.h"

#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>
#include <memory>

struct TEditorFixture {
    TEditorFixture() {
        frame = std::make_unique<QWidget>();
        frame->resize(800, 600);
        editor = std::make_unique<TqlvEditor>(frame.get(), nullptr);
        frame->show();
        (void)QTest::qWaitForWindowExposed(frame.get());
    }

    ~TEditorFixture() {
        editor.reset();
        frame.reset();
    }

    QTextEdit* control() const { return editor->Control(); }

    void select(int anchor, int position) {
        QTextCursor cursor = control()->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        control()->setTextCursor(cursor);
    }

    int anchor() const { return control()->textCursor().anchor(); }
    int position() const { return control()->textCursor().position(); }

    TScriptedDialogs dialogs;
    std::unique_ptr<QWidget> frame;
    std::unique_ptr<TqlvEditor> editor;
};

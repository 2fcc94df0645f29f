"""Manuscript history through the real window: three saves of one manuscript,
稿件 ▸ 历史版本… lists the two earlier texts (the first save replaced an
empty manuscript), choosing the oldest shows it, 恢复此版本 brings it back
into the editor, and saving keeps it across closing and reopening the library.

The application waits two minutes between kept versions of one manuscript;
the journey sets QUILLORA_VERSION_GAP_SECONDS=0 (read only at start-up, and
set by no one but tests) so that saves seconds apart each keep one."""
import os
import re

from journey import main

TEXTS = ["alpha one", "beta two", "gamma three"]
SAVED_AT = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$")


def replace_and_save(j, editor, text):
    """Selects the editor's text, types `text` over it and saves with Ctrl+S."""
    j.click(editor)
    j.key("ctrl+a")
    j.type(text)
    j.wait(lambda: j.text_of(editor) == text, f"the text {text!r} in the editor")
    j.focus_window()
    j.key("ctrl+s")
    j.find("状态：保存", role="label")


def version_rows(j, dialog):
    return [cell for cell in j.find_all(role="table cell", root=dialog) if SAVED_AT.match(cell.name or "")]


def journey(j):
    j.env["QUILLORA_VERSION_GAP_SECONDS"] = "0"
    library = os.path.join(j.home, "home", "历史")
    j.start_app()
    j.create_library(library, "历史")
    editor = j.new_manuscript("lishi")
    for text in TEXTS:
        replace_and_save(j, editor, text)
        j.wait(lambda: j.text_of(editor) == text, "the saved text to stay")

    # 历史版本 lists the two texts the later saves replaced, newest first.
    j.focus_window()
    j.menu("稿件(&F)", "历史版本…")
    dialog = j.find("历史版本", role="dialog")
    j.wait(lambda: len(version_rows(j, dialog)) == 2, "two versions in the list")
    # The two panes are read-only: the accessibility tree gives them as labels.
    shown = j.find("所选版本", role="label", root=dialog)
    j.wait(lambda: j.text_of(shown) == TEXTS[1], "the newest version shown first")
    j.click(version_rows(j, dialog)[1])
    j.wait(lambda: j.text_of(shown) == TEXTS[0], "the first text shown when chosen")
    current = j.find("当前文本", role="label", root=dialog)
    assert j.text_of(current) == TEXTS[2], j.text_of(current)

    # 恢复此版本: the first text is back in the editor.
    j.click(j.find("恢复此版本", role="push button", root=dialog))
    j.wait(lambda: not j.find_all("历史版本", role="dialog"), "the dialog to close")
    j.wait(lambda: j.text_of(editor) == TEXTS[0], "the first text back in the editor")

    # Saved, it stays: close the library, open it again, open the manuscript.
    j.focus_window()
    j.key("ctrl+s")
    j.close_library("历史")
    j.open_library(library + ".qdb", "历史")
    j.click(j.find("lishi", role="table cell"))
    j.focus_window()
    j.key("ctrl+o")
    j.find("稿件：lishi", role="label")
    editor = j.find("稿件内容", role="text")
    j.wait(lambda: j.text_of(editor) == TEXTS[0], "the restored text after reopening")


main(journey)

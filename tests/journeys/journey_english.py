"""The interface in English, as a writer whose desktop is set to English sees
it (LANG=en_US.UTF-8, no language forced): the menu bar speaks English;
create a library with Library ▸ New Library, make a manuscript, type, save,
close the library, open it again and find the text. The new manuscript's
default name is the one the library stores, whatever the language."""
import os
import re

from journey import main

TEXT = "Spring has come to the hills."
CJK = re.compile("[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")


def journey(j):
    j.env.pop("QUILLORA_LANGUAGE", None)
    j.env.update({"LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8", "LANGUAGE": "en_US:en"})
    library = os.path.join(j.home, "home", "Novels", "spring.qdb")
    os.makedirs(os.path.dirname(library))
    j.start_app()

    bar = [j._name(item) for item in j.find_all(role="menu item")]
    assert "Library" in bar and "Manuscript" in bar, f"the menu bar is not English: {bar}"
    assert not [name for name in bar if CJK.search(name)], f"Chinese in the menu bar: {bar}"

    j.menu("&Library", "New Library")
    dialog = j.find("New Library", role="dialog")
    j.set_text(j.find("Library name", role="text", root=dialog), library[:-4])
    j.click(j.find("Create", role="push button", root=dialog))
    j.find("Library: spring", role="label")
    assert os.path.isfile(library), "the library file was not created"

    # A new manuscript: the library names it 新建稿件 until the writer renames it.
    j.menu("&Manuscript", "&New")
    j.find("新建稿件", role="table cell")
    j.focus_window()
    j.type("chapter one")
    j.key("Return")
    j.find("chapter one", role="table cell")
    editor = j.find("Manuscript text", role="text")
    j.click(editor)
    j.type(TEXT[:1])
    j.find("Status: modified", role="label")
    j.type(TEXT[1:])
    j.wait(lambda: j.text_of(editor) == TEXT, "the typed text in the editor")
    j.focus_window()
    j.key("ctrl+s")
    j.find("Status: saved", role="label")

    j.menu("&Library", "Close Library")
    j.wait(lambda: not j.find_all("Library: spring", role="label"), "the library to close")

    # A new run opens it again and finds the text.
    j.stop_app()
    j.start_app()
    j.menu("&Library", "Open Library")
    j.find("Open Library", role="dialog")
    j.type(library)
    j.key("Return")
    j.find("Library: spring", role="label")
    j.click(j.find("chapter one", role="table cell"))
    j.focus_window()
    j.key("ctrl+o")
    j.find("Manuscript: chapter one", role="label")
    editor = j.find("Manuscript text", role="text")
    j.wait(lambda: j.text_of(editor) == TEXT, "the saved text after reopening")


main(journey)

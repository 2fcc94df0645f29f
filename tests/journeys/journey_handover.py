"""A second start hands a text file to a first instance that holds unsaved
text: the first asks to save ("打开"), survives whichever answer, and shows the
handed-over file. Also: the Caps Lock panel follows the lock both ways."""
import os
import subprocess

from journey import main


def hand_over(j, path):
    second = subprocess.run([j.executable, path], env=j.env, timeout=60)
    assert second.returncode == 0, f"the second start ended with {second.returncode}"


def type_unsaved(j, text):
    editor = j.find("稿件内容", role="text")
    j.click(editor)
    j.type(text)
    j.wait(lambda: text in j.text_of(editor), "the typed text")
    return editor


def journey(j):
    files = {}
    for name, text in (("yes.txt", "first handed file"), ("no.txt", "second handed file")):
        files[name] = os.path.join(j.home, "home", name)
        with open(files[name], "w", encoding="utf-8") as out:
            out.write(text)
    saved = os.path.join(j.home, "home", "saved.txt")
    j.start_app()

    # Caps Lock on, then off: the panel says what the X server says each time.
    type_unsaved(j, "x")
    j.key("Caps_Lock", clear_modifiers=False)
    j.find("大写", role="label")
    j.key("Caps_Lock", clear_modifiers=False)
    j.find("小写", role="label")

    # Answer Yes: the text is saved first (Save As, since it is untitled).
    editor = type_unsaved(j, "unsaved words")
    hand_over(j, files["yes.txt"])
    prompt = j.find("打开", role="alert", timeout=30)
    j.click(j.find("是(Y)", role="push button", root=prompt))
    save_as = j.find("另存为", role="dialog", timeout=30)
    j.type(saved)
    j.key("Return")
    j.wait(lambda: not j.find_all("另存为", role="dialog"), "the Save As dialog to close")
    j.wait(lambda: j.text_of(editor) == "first handed file", "the first handed-over file")
    assert j.app.poll() is None, "the first instance died"
    with open(saved, "rb") as written:
        assert b"unsaved words" in written.read(), "the text was not saved before the hand-over"

    # Answer No: nothing is saved, the file is shown, the instance lives on.
    type_unsaved(j, " more")
    hand_over(j, files["no.txt"])
    prompt = j.find("打开", role="alert", timeout=30)
    j.click(j.find("否(N)", role="push button", root=prompt))
    j.wait(lambda: j.text_of(editor) == "second handed file", "the second handed-over file")
    assert j.app.poll() is None, "the first instance died"
    j.find("稿件：" + files["no.txt"], role="label")


main(journey)

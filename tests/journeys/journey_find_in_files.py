"""Find in files from the menu: search a folder for a word, double-click the
result, and the file opens in the editor (as if handed over by a second
start)."""
import os

from journey import Journey, JourneyError, main

MARKER = "snowline"
CONTENT = "第一章 雪山\r\nthe snowline journey text\r\n"


def make_folder(home):
    folder = os.path.join(home, "texts")
    os.makedirs(os.path.join(folder, "sub"), exist_ok=True)
    with open(os.path.join(folder, "sub", "found.txt"), "wb") as f:
        f.write(CONTENT.encode("gb18030"))
    with open(os.path.join(folder, "other.txt"), "wb") as f:
        f.write("nothing to find here\r\n".encode("gb18030"))
    return folder


def editor_shows(j, text):
    for node in j.find_all(role="text"):
        try:
            if text in j.text_of(node):
                return True
        except Exception:
            pass
    return False


def journey(j):
    folder = make_folder(j.home)
    found = os.path.join(folder, "sub", "found.txt")
    j.start_app()
    j.menu("查找(S)", "在文件中查找")
    j.find("查找文件", role="dialog", timeout=30)
    j.set_text(j.find("查找内容：", role="text"), MARKER)
    j.set_text(j.find("查找路径：", role="text"), folder)
    j.click(j.find("搜索(S)", role="push button"))
    item = j.find(found, role="list item", timeout=30)
    if j.find_all(os.path.join(folder, "other.txt"), role="list item"):
        raise JourneyError("a file without the word was listed")
    j.click(item, double=True)
    j.wait(lambda: editor_shows(j, "the snowline journey text"), "the file's text in the editor", 30)


if __name__ == "__main__":
    main(journey)

"""The library centre and compaction, driven through the real window: open
稿件库中心 with F8, add two existing libraries, select the encrypted one (its
password is asked, in Chinese, to read its attributes), open it (not asked
again), compact it with 稿件库 ▸ 压缩稿件库 (a progress window, then the finish
message), and find its manuscripts intact, also after the library is opened
anew (still not asked while the application runs)."""
import os
import subprocess
import time

from journey import main

PASSWORD = "mi-ma-456"
BULK = 1500
CHAPTERS = {"第一章": "春眠不觉晓，处处闻啼鸟。", "第二章": "夜来风雨声，花落知多少。"}


def qdb(j, *args):
    tool = os.path.join(os.path.dirname(os.path.dirname(j.executable)), "cli", "qdb")
    subprocess.run([tool, *args], check=True, env=j.env, stdout=subprocess.DEVNULL)


def make_libraries(j):
    folder = os.path.join(j.home, "home", "libraries")
    os.makedirs(folder)
    texts = []
    for name, text in CHAPTERS.items():
        path = os.path.join(folder, name + ".txt")
        with open(path, "wb") as out:
            out.write((text * 200).encode("gb18030"))
        texts.append(path)
    plain = os.path.join(folder, "sanwen.qdb")
    secret = os.path.join(folder, "xiaoshuo.qdb")
    qdb(j, "create-library", plain[:-4])
    qdb(j, "create-library", secret[:-4], "--password", PASSWORD)
    qdb(j, "import", secret, *texts, "--password", PASSWORD)
    # Enough dead weight in a folder that compaction takes a moment to watch.
    bulk = os.path.join(folder, "卷")
    os.makedirs(bulk)
    filler = []
    for i in range(BULK):
        path = os.path.join(bulk, f"续{i:04d}.txt")
        with open(path, "wb") as out:
            out.write((f"第{i}段。" + "秋风萧瑟天气凉，草木摇落露为霜。" * 150).encode("gb18030"))
        filler.append(path)
    qdb(j, "import", secret, *filler, "--folder", "0", "--password", PASSWORD)
    return plain, secret


def add_library(j, centre, path):
    j.click(j.find("添加(A)", role="push button", root=centre))
    add = j.find("添加稿件库", role="dialog")
    j.focus_window("添加稿件库")
    # The file dialog's name box, captioned in Chinese or English depending on
    # whether Qt's translations are installed.
    name = None
    def name_box():
        nonlocal name
        boxes = [n for n in j.find_all(role="text", root=add)
                 if j._name(n).replace("&", "") in ("File name:", "文件名称(N)：", "文件名称：")]
        name = boxes[0] if boxes else None
        return name is not None
    j.wait(name_box, "the file dialog's name box")
    j.set_text(name, path)
    j.wait(lambda: j.text_of(name) == path, "the path in the file name box")
    # The first Return may only close the file-name completer's list.
    for _ in range(3):
        j.key("Return")
        try:
            j.wait(lambda: not j.find_all("添加稿件库", role="dialog"), "the add dialog to close", 5)
            return
        except Exception:
            pass
    raise AssertionError("the add dialog did not close")


def answer_login(j):
    j.answer_password("稿件库密码", "密码", PASSWORD, "确定")


def open_chapter(j, name):
    j.click(j.find(name, role="table cell"))
    j.focus_window()
    j.key("ctrl+o")
    editor = j.find("稿件内容", role="text")
    j.wait(lambda: j.text_of(editor) == CHAPTERS[name] * 200, f"the text of {name}")


def journey(j):
    plain, secret = make_libraries(j)
    j.start_app()

    # F8: the centre; both libraries added by hand.
    j.focus_window()
    j.key("F8")
    centre = j.find("稿件库中心", role="dialog")
    add_library(j, centre, plain)
    add_library(j, centre, secret)
    j.find("sanwen", role="list item", root=centre)

    # Selecting the encrypted one asks its password to show its attributes.
    j.click(j.find("xiaoshuo", role="list item", root=centre))
    answer_login(j)
    position = j.find("位置", role="text", root=centre)
    j.wait(lambda: j.text_of(position) == secret, "the attributes of the selected library")

    # 打开: the window opens it with the password the centre was given.
    j.click(j.find("打开(O)", role="push button", root=centre))
    j.find("稿件库：xiaoshuo", role="label")
    assert not j.find_all("打开稿件库", role="dialog"), "the password was asked for again"
    open_chapter(j, "第一章")

    # 稿件库 ▸ 压缩稿件库: the tools page, a progress window, the finish message.
    j.menu("稿件库(&D)", "压缩稿件库")
    attributes = j.find("稿件库属性", role="dialog")
    j.click(j.find("压缩稿件库(C)", role="push button", root=attributes))
    # While the library is rebuilt the application answers no accessibility
    # queries (its sockets wait); the X server still lists its windows: first
    # the progress window, then the message box, both captioned 压缩稿件库.
    windows = []
    deadline = time.time() + 120
    while time.time() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^压缩稿件库$"],
                               env=j.env, capture_output=True, text=True, timeout=30).stdout.split()
        windows += [w for w in found if w not in windows]
        if len(windows) >= 2 or (windows and j.find_all("已完成对稿件库的压缩！", role="label")):
            break
        time.sleep(0.01)
    assert len(windows) >= 2, f"no progress window before the message (windows {windows})"
    message = j.find("已完成对稿件库的压缩！", role="label")
    box = message
    while box is not None and j._role(box) not in ("dialog", "alert"):
        box = box.parent
    j.click(j.find("确定", role="push button", root=box))
    j.wait(lambda: not j.find_all("已完成对稿件库的压缩！", role="label"), "the message to close")
    j.click(j.find("取消", role="push button", root=attributes))
    j.wait(lambda: not j.find_all("稿件库属性", role="dialog"), "the attributes dialog to close")

    # The compacted library still holds its manuscripts, now and after reopening.
    open_chapter(j, "第二章")
    j.close_library("xiaoshuo")
    j.open_library(secret, "xiaoshuo")
    assert not j.find_all("打开稿件库", role="dialog"), "the password was asked for again"
    open_chapter(j, "第一章")


main(journey)

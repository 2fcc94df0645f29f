"""Working the side panel with mouse and keys: make two folders, drag a
manuscript from one into the other, add a mark on a paragraph below a long
wrapped one and open it from the mark list after the window changed width,
attach a picture and see it in the preview, rename a folder with F2
and delete it with Delete after confirming. With QUILLORA_SCREENSHOT set, the
side panel showing the picture is saved to that path."""
import os
import subprocess
import time

from journey import main

# A first paragraph long enough to wrap in the editor at any window width here.
LONG = "one " + "word " * 60

# A small 24-bit BMP (a blue and yellow band), written without any imaging library.
def write_bmp(path, width=96, height=64):
    row = bytearray()
    for x in range(width):
        row += bytes((200, 90, 20)) if x < width // 2 else bytes((20, 200, 240))
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = bytes(row) * height
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + b"\0\0\0\0" + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little")
    info += (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + b"\0" * 24
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def new_folder(j, parent, name):
    j.click(j.find(parent))
    j.click(j.find("新建稿件夹", role="push button"))
    j.find("新建稿件夹")
    j.focus_window()
    j.type(name)
    j.key("Return")
    j.find(name)


def drag(j, source, target):
    sx, sy = j.centre(source)
    tx, ty = j.centre(target)
    j.xdotool("mousemove", "--sync", str(sx), str(sy))
    j.xdotool("mousedown", "1")
    for step in range(1, 11):
        x = sx + (tx - sx) * step // 10
        y = sy + (ty - sy) * step // 10
        j.xdotool("mousemove", "--sync", str(x), str(y))
        time.sleep(0.05)
    time.sleep(0.3)
    j.xdotool("mouseup", "1")
    time.sleep(0.5)


def choose_file(j, title, path):
    j.find(title, role="dialog")
    j.type(path)
    j.key("Return")
    j.wait(lambda: not j.find_all(title, role="dialog"), f"the {title} dialog to close")


def journey(j):
    library = os.path.join(j.home, "home", "side", "book.qdb")
    os.makedirs(os.path.dirname(library))
    picture = os.path.join(j.home, "home", "cover.bmp")
    write_bmp(picture)
    j.start_app()

    j.create_library(library[:-4], "book")

    # Two folders under the root, and a manuscript of three lines in the first.
    new_folder(j, "稿件夹", "alpha")
    new_folder(j, "稿件夹", "beta")
    j.click(j.find("alpha"))
    editor = j.new_manuscript("story")
    j.click(editor)
    j.focus_window()
    for number, line in enumerate((LONG, "two", "three", "four")):
        if number:
            j.key("Return")
        j.type(line)
    j.key("ctrl+s")
    j.find("状态：保存", role="label")

    # Drag it onto the other folder: it leaves alpha's list and is in beta's.
    drag(j, j.find("story", role="table cell"), j.find("beta"))
    j.wait(lambda: not j.find_all("story", role="table cell"), "the manuscript to leave alpha")
    j.click(j.find("beta"))
    j.click(j.find("story", role="table cell"))
    j.find("稿件：story", role="label")

    # A mark on the third paragraph, opened from the mark list with the caret
    # elsewhere and the window narrower: it still lands on that paragraph.
    editor = j.find("稿件内容", role="text")
    j.click(editor)
    j.focus_window()
    j.key("ctrl+End", "Home", "Up")
    third = len(LONG) + 1 + len("two") + 1
    j.wait(lambda: editor.queryText().caretOffset == third, "the caret at the third paragraph")
    j.menu("插入(&I)", "标签(&S)", "添加(&A)")
    marks = j.find("标签", role="dialog")
    j.set_text(j.find("名称", role="text", root=marks), "third")
    j.click(j.find("确定", role="push button", root=marks))
    j.wait(lambda: not j.find_all("标签", role="dialog"), "the mark dialog to close")
    j.xdotool("windowsize", j.windows_titled(r"^QuilloraVer1\.3$")[-1], "700", "600")
    time.sleep(0.5)
    j.click(editor)
    j.focus_window()
    j.key("ctrl+Home")
    j.find("行：1", role="label")
    j.click(j.find("标签", role="page tab"))
    j.click(j.find("third", role="table cell"), double=True)
    j.wait(lambda: editor.queryText().caretOffset == third, "the mark to open on its paragraph")

    # A picture: listed and shown in the preview.
    j.click(j.find("图片", role="page tab"))
    j.menu("插入(&I)", "外部文件(&F)", "图片(&P)")
    choose_file(j, "插入图片", picture)
    j.find("cover", role="table cell")
    j.click(j.find("cover", role="table cell"))
    shot = os.environ.get("QUILLORA_SCREENSHOT")
    if shot:
        # The side panel: the window's left part, up to the editor.
        win = j.window.queryComponent().getExtents(0)
        left = j.find("稿件内容", role="text").queryComponent().getExtents(0).x
        subprocess.run(["import", "-display", j.display, "-window", "root",
                        "-crop", f"{left - win.x}x{win.height}+{win.x}+{win.y}", "+repage", shot],
                       check=True, timeout=60)

    # Rename a folder with F2, delete it with Delete after confirming.
    j.click(j.find("稿件库", role="page tab"))
    j.click(j.find("alpha"))
    j.focus_window()
    j.key("F2")
    j.key("ctrl+a")
    j.type("gamma")
    j.key("Return")
    j.find("gamma")
    j.focus_window()
    j.key("Delete")
    confirm = j.find("删除稿件夹", role="alert")
    j.click(j.find("是(Y)", role="push button", root=confirm))
    j.wait(lambda: not j.find_all("gamma"), "the folder to go")
    j.find("beta")


main(journey)

"""Full-screen writing in the real window: 工具 ▸ 全屏写作 fills the screen
with the editor alone, text written there is in the manuscript, Escape brings
the window back as it was, and the text saves. A window goes full screen
only when a window manager honours the request, so this journey runs
openbox beside the X server."""
import os
import shutil
import subprocess
import sys
import time

from journey import SKIP, JourneyError, main

BEFORE = "开头"
WRITTEN = "全屏里写"


def geometry(j):
    """The main window's place and size as the X server has them."""
    ids = j.windows_titled(r"^(\*.* - )?QuilloraVer1\.3$")
    if not ids:
        raise JourneyError("no main window")
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", ids[-1]], env=j.env,
                         capture_output=True, text=True, timeout=30).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def bars_showing(j):
    return [role for role in ("menu bar", "tool bar", "status bar") if j.find_all(role=role)]


def journey(j):
    if shutil.which("openbox") is None:
        print("SKIP: openbox is not installed")
        sys.exit(SKIP)
    wm = subprocess.Popen(["openbox"], env=j.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        run(j)
    finally:
        wm.terminate()
        wm.wait(10)


def run(j):
    library = os.path.join(j.home, "home", "全屏")
    os.makedirs(os.path.dirname(library), exist_ok=True)
    j.start_app()
    j.create_library(library, "全屏")
    editor = j.new_manuscript("chapter")
    j.type_and_save(editor, BEFORE)
    j.wait(lambda: len(bars_showing(j)) == 3, "the bars")
    before = geometry(j)

    j.menu("工具(&T)", "全屏写作(&G)")
    j.wait(lambda: geometry(j)[2:] == j.size, f"the window to fill the {j.size} screen")
    j.wait(lambda: not bars_showing(j), "the bars to go")
    editor = j.find("稿件内容", role="text")
    ext = editor.queryComponent().getExtents(0)
    assert ext.width >= j.size[0] - 40 and ext.height >= j.size[1] - 40, f"the editor covers {ext.width}x{ext.height}"

    j.click(editor)
    j.key("ctrl+End")
    # As type_and_save: the first character, then the rest once it is shown.
    j.type(WRITTEN[:1])
    j.wait(lambda: j.text_of(editor) == BEFORE + WRITTEN[:1], "the first character written full screen")
    j.type(WRITTEN[1:])
    j.wait(lambda: j.text_of(editor) == BEFORE + WRITTEN,
           f"the text written full screen (the editor holds {j.text_of(editor)!r})")

    j.key("Escape")
    j.wait(lambda: len(bars_showing(j)) == 3, "the bars to come back")
    j.wait(lambda: geometry(j) == before, f"the window back at {before}")
    j.find("状态：已修改", role="label")
    j.focus_window()
    j.key("ctrl+s")
    j.find("状态：保存", role="label")
    j.wait(lambda: j.windows_titled(r"^QuilloraVer1\.3$"), "the title without \"*\"")


main(journey)

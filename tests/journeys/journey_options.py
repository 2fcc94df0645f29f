"""Preferences survive a restart: 工具 ▸ 首选项, a new editor font size and
auto-save interval, 确定, restart; the editor then writes in the new size and
the dialog shows both choices again."""
import time

from journey import JourneyError, main

NEW_SIZE = "20"
NEW_INTERVAL = "13"


def open_editor_tab(j):
    j.menu("工具(T)", "首选项(O)")
    dialog = j.find("选项", role="dialog")
    j.click(j.find("编辑器", role="page tab", root=dialog))
    return dialog


def choose(j, dialog, label, item):
    combo = j.labelled(label, root=dialog)
    j.click(combo)
    j.click(j.find(item, role="list item", root=combo))
    j.wait(lambda: j._name(combo) == item, f"{label} showing {item}")


def editor_font_size(j):
    """The point size the editor gives to newly typed text."""
    editor = j.find(role="text")
    j.click(editor)
    j.key("ctrl+End")
    j.type("ab")
    attributes, _, _ = editor.queryText().getAttributeRun(1, False)
    sizes = [a.split(":", 1)[1] for a in attributes if a.startswith("size:")]
    if not sizes:
        raise JourneyError(f"the editor reports no font size: {attributes}")
    return sizes[0]


def journey(j):
    j.start_app()
    before = editor_font_size(j)
    if before == NEW_SIZE:
        raise JourneyError(f"the first-run font size is already {NEW_SIZE}")

    dialog = open_editor_tab(j)
    choose(j, dialog, "编辑器默认字号：", NEW_SIZE)
    choose(j, dialog, "设置保存时间间隔：", NEW_INTERVAL)
    j.click(j.find("确定", role="push button", root=dialog))
    j.wait(lambda: not j.find_all("选项", role="dialog"), "the options dialog to close")

    # The change waits for the next start.
    if editor_font_size(j) != before:
        raise JourneyError("the editor changed its font size before a restart")
    j.stop_app()
    time.sleep(0.5)

    j.start_app()
    after = editor_font_size(j)
    if after != NEW_SIZE:
        raise JourneyError(f"after the restart the editor writes in size {after}, not {NEW_SIZE}")
    dialog = open_editor_tab(j)
    for label, value in (("编辑器默认字号：", NEW_SIZE), ("设置保存时间间隔：", NEW_INTERVAL)):
        shown = j._name(j.labelled(label, root=dialog))
        if shown != value:
            raise JourneyError(f"{label} shows {shown!r} after the restart, not {value!r}")
    j.click(j.find("取消", role="push button", root=dialog))


if __name__ == "__main__":
    main(journey)

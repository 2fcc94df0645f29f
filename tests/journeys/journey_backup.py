"""A library brought back from its backup, through the real window: make a
library with one manuscript, close it (a snapshot is taken), open it again and
add a second manuscript, then 稿件库 ▸ 从备份恢复… and restore the snapshot:
the library opens again as it was, and the state it replaced is kept as the
newest snapshot."""
import glob
import os

from journey import main

TEXT = "床前明月光"


def new_manuscript(j, name):
    j.type_and_save(j.new_manuscript(name), TEXT)


def journey(j):
    library = os.path.join(j.home, "home", "稿件", "诗集.qdb")
    os.makedirs(os.path.dirname(library))
    snapshots = os.path.join(j.home, "app", "Backups", "诗集.qdb", "诗集-*.qdb")
    j.start_app()

    j.create_library(library[:-4], "诗集")
    new_manuscript(j, "diyi")
    j.close_library("诗集")
    j.wait(lambda: len(glob.glob(snapshots)) == 1, "the snapshot taken on closing")

    j.open_library(library, "诗集")
    new_manuscript(j, "dier")

    j.menu("稿件库(&D)", "从备份恢复…")
    dialog = j.find("从备份恢复", role="dialog")
    j.find("备份列表", root=dialog)
    j.click(j.find("恢复", role="push button", root=dialog))
    j.wait(lambda: not j.find_all("从备份恢复", role="dialog"), "the restore dialog to close")
    # Asked first (naming the snapshot's time), then told it is done.
    confirm = j.find("从备份恢复", role="alert", timeout=30)
    j.click(j.find("是(Y)", role="push button", root=confirm))
    j.find("状态：已恢复", role="label", timeout=60)
    done = j.find("从备份恢复", role="alert", timeout=30)
    j.click(j.find("确定", role="push button", root=done))
    j.find("稿件库：诗集", role="label")
    j.find("diyi", role="table cell")
    j.wait(lambda: not j.find_all("dier", role="table cell"), "the later manuscript to be gone")
    # The state that was replaced (with dier) is kept.
    j.wait(lambda: len(glob.glob(snapshots)) == 2, "the replaced state kept as a snapshot")


main(journey)

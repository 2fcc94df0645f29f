"""The window starts under a real X server, its menus are reachable through the
accessibility tree, and a command's message box can be read and answered."""
from journey import main


def journey(j):
    j.start_app()
    j.menu("工具(&T)", "字数统计(&C)")
    box = j.find("字数统计", role="alert")
    j.find("英文单词：0\r中文字数：0\r\r", role="label", root=box)
    j.click(j.find("确定", role="push button", root=box))
    j.wait(lambda: not j.find_all("字数统计", role="alert"), "the box to close")


main(journey)

"""Writing statistics in the real window: type Chinese text into a new
manuscript, save it, and find the day's count in the status bar ("今日：N 字")
and in today's row of 工具 ▸ 写作统计. Then unsaved text meets the save
prompt of 新建 and of 退出: Escape (取消) keeps the text and the window.
Last, the manuscript's 属性: Chinese typed into the fee box never reaches it,
and the other edits of the dialog are kept and saved with a valid fee."""
import datetime
import os

from journey import main

TEXT = "春眠不觉晓处处闻啼鸟"   # ten Chinese characters
PROMPT = "稿件的内容已经更改，是否保存？"


def escape_keeps_the_text(j, editor, path, caption, text):
    """Chooses the menu item at `path` over unsaved text, answers its save
    prompt with Escape and finds the text still there and still unsaved."""
    j.menu(*path)
    prompt = j.find(caption, role="alert", timeout=30)
    j.find(PROMPT, root=prompt)
    j.find("取消", role="push button", root=prompt)
    j.key("Escape")
    j.wait(lambda: not j.find_all(caption, role="alert"), f"the save prompt of {caption} to close")
    j.wait(lambda: j.text_of(editor) == text, "the unsaved text still in the editor")
    j.find("状态：已修改", role="label")
    j.wait(lambda: j.windows_titled(r"^\*.* - QuilloraVer1\.3$"), "the \"*\" still in the title")


def journey(j):
    library = os.path.join(j.home, "home", "统计")
    os.makedirs(os.path.dirname(library), exist_ok=True)
    j.start_app()
    j.create_library(library, "统计")
    j.find("今日：0 字", role="label")

    j.type_and_save(j.new_manuscript("jueju"), TEXT)
    j.find(f"今日：{len(TEXT)} 字", role="label")

    j.menu("工具(&T)", "写作统计(&W)")
    dialog = j.find("写作统计", role="dialog")
    table = j.find("每日统计", root=dialog)
    today = datetime.date.today().isoformat()
    # Row 0 is today: its date and its count.
    j.wait(lambda: table.queryTable().getAccessibleAt(0, 0).name == today, f"today's row ({today})")
    cells = table.queryTable()
    count = cells.getAccessibleAt(0, 1).name
    assert count == str(len(TEXT)), f"today's row shows {count!r}"
    j.find("连续写作 1 天", role="label", root=dialog)
    j.click(j.find("关闭", role="push button", root=dialog))
    j.wait(lambda: not j.find_all("写作统计", role="dialog"), "the statistics dialog to close")

    editor = j.find("稿件内容", role="text")
    j.click(editor)
    j.key("ctrl+End")
    j.type("x")
    j.find("状态：已修改", role="label")
    escape_keeps_the_text(j, editor, ("稿件(&F)", "新建(&N)"), "新建", TEXT + "x")
    escape_keeps_the_text(j, editor, ("稿件(&F)", "退出(&X)"), "退出", TEXT + "x")
    j.focus_window()
    j.key("ctrl+s")
    j.find("状态：保存", role="label")
    the_fee_box_takes_digits_only(j)


def open_attributes(j):
    j.menu("稿件(&F)", "属性(&A)")
    return j.find("属性", role="dialog")


def the_fee_box_takes_digits_only(j):
    dialog = open_attributes(j)
    j.set_text(j.find("发表刊物", role="text", root=dialog), "收获")
    fee = j.find("稿费", role="text", root=dialog)
    j.set_text(fee, "三百元")
    j.type("300")
    j.wait(lambda: j.text_of(fee) == "300", "only the digits in the fee box")
    j.type("12")
    j.wait(lambda: j.text_of(fee) == "30012", "at most five digits in the fee box")
    j.click(j.find("确定", role="push button", root=dialog))
    j.wait(lambda: not j.find_all("属性", role="dialog"), "the attribute dialog to close")
    assert not j.find_all(role="alert"), "a message after a valid fee"

    dialog = open_attributes(j)
    j.wait(lambda: j.text_of(j.find("发表刊物", role="text", root=dialog)) == "收获", "the publication kept")
    j.wait(lambda: j.text_of(j.find("稿费", role="text", root=dialog)) == "30012", "the fee kept")
    j.click(j.find("取消", role="push button", root=dialog))
    j.wait(lambda: not j.find_all("属性", role="dialog"), "the attribute dialog to close")


main(journey)

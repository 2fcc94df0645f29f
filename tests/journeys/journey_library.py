"""A writer's first library, driven through the real window: create an
encrypted library with 稿件库 ▸ 新建稿件库 (the password just set is not asked
for), make a manuscript, type Chinese text (the window shows it unsaved),
save, close the library and open it again (not asked again while the
application runs), then in a new run open it with a wrong password first
(asked again) and find the text there."""
import os
import time

from journey import main

PASSWORD = "mi-ma-123"
TEXT = "春眠不觉晓，处处闻啼鸟。"


def answer_password(j):
    j.answer_password("打开稿件库", "输入密码", PASSWORD, "确认", timeout=90)


def journey(j):
    library = os.path.join(j.home, "home", "稿件", "小说.qdb")
    os.makedirs(os.path.dirname(library))
    j.start_app()

    # 稿件库 ▸ 新建稿件库: name, password twice, 创建.
    j.menu("稿件库(&D)", "新建稿件库")
    dialog = j.find("新建稿件库", role="dialog")
    j.set_text(j.find("稿件库名称", role="text", root=dialog), library[:-4])
    j.click(j.find("设置稿件库密码", role="check box", root=dialog))
    j.set_text(j.find("密码", role="password text", root=dialog), PASSWORD)
    j.set_text(j.find("确认", role="password text", root=dialog), PASSWORD)
    j.click(j.find("创建(B)", role="push button", root=dialog))
    j.find("稿件库：小说", role="label")
    assert not j.find_all("打开稿件库", role="dialog"), "the password just set was asked for"
    assert os.path.isfile(library), "the library file was not created"

    # A new manuscript, named in place, with Chinese text, saved.
    j.type_and_save(j.new_manuscript("chuntian"), TEXT)

    # Close the library, open it again: the password is known by now.
    j.close_library("小说")
    j.open_library(library, "小说")
    assert not j.find_all("打开稿件库", role="dialog"), "the password was asked for again"

    # A new run asks once; a wrong password is asked again, not the end of the open.
    j.stop_app()
    j.start_app()
    j.menu("稿件库(&D)", "打开稿件库")
    j.find("打开稿件库", role="dialog")
    j.type(library)
    j.key("Return")
    prompt = j.find("输入密码", role="password text", timeout=90)
    j.click(prompt)
    j.type("wrong")
    j.click(j.find("确认", role="push button"))
    time.sleep(1.0)   # the same prompt comes back for a second try
    answer_password(j)
    j.find("稿件库：小说", role="label")
    j.click(j.find("chuntian", role="table cell"))
    j.focus_window()
    j.key("ctrl+o")
    j.find("稿件：chuntian", role="label")
    editor = j.find("稿件内容", role="text")
    j.wait(lambda: j.text_of(editor) == TEXT, "the saved text after reopening")


main(journey)

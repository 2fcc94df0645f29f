"""A writer's first library, driven through the real window: create an
encrypted library with 稿件库 ▸ 新建稿件库, make a manuscript, type Chinese
text, save, close the library, open it again (the password is asked) and find
the text there."""
import os

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
    answer_password(j)
    j.find("稿件库：小说", role="label")
    assert os.path.isfile(library), "the library file was not created"

    # A new manuscript, named in place, with Chinese text, saved.
    j.type_and_save(j.new_manuscript("chuntian"), TEXT)

    # Close the library, open it again: the password is asked, the text is there.
    j.close_library("小说")
    j.open_library(library, "小说", lambda: answer_password(j))
    j.click(j.find("chuntian", role="table cell"))
    j.focus_window()
    j.key("ctrl+o")
    j.find("稿件：chuntian", role="label")
    editor = j.find("稿件内容", role="text")
    j.wait(lambda: j.text_of(editor) == TEXT, "the saved text after reopening")


main(journey)

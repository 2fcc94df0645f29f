"""Text files in and out of a library through the real window: 稿件库 ▸ 导入
of three files (GBK, UTF-8 with bare line feeds, UTF-8 with a byte-order
mark) into the top folder, then 稿件库 ▸ 导出 of that folder into a new
directory; the files there hold the imported texts as GB18030 with CR LF."""
import os

from journey import JourneyError, main

TEXTS = {
    "chapter1": "第一章 出发\r\n天刚亮。\r\n",
    "chapter2": "第二章 路上\n风很大。\n",
    "chapter3": "第三章 到达\r\n𠀀 终于到了。\r\n",
}


def write_sources(home):
    folder = os.path.join(home, "sources")
    os.makedirs(folder)
    encodings = {"chapter1": lambda t: t.encode("gbk"),
                 "chapter2": lambda t: t.encode("utf-8"),
                 "chapter3": lambda t: b"\xef\xbb\xbf" + t.encode("utf-8")}
    for name, text in TEXTS.items():
        with open(os.path.join(folder, name + ".txt"), "wb") as f:
            f.write(encodings[name](text))
    return folder


def expected_bytes(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("gb18030")


def confirm_message(j, text):
    j.find(text, role="label", timeout=60)
    j.click(j.find("确定", role="push button"))
    j.wait(lambda: not j.find_all(text, role="label"), "the message to close")


def choose_in_file_dialog(j, title, *entries):
    """Types each entry into the newest dialog titled title, Return after each."""
    j.wait(lambda: len(j.find_all(title, role="dialog")) >= 1, f"the {title} file dialog")
    j.focus_window(title)
    for entry in entries:
        j.key("ctrl+a")
        j.type(entry)
        j.key("Return")


def journey(j):
    sources = write_sources(j.home)
    target = os.path.join(j.home, "exported")
    os.makedirs(target)
    library = os.path.join(j.home, "home", "交换")
    j.start_app()

    j.create_library(library, "交换")

    # Import the three files into the top folder.
    j.menu("稿件库(&D)", "导入(&I)...")
    j.click(j.find("添加", role="push button", timeout=30))
    names = " ".join(f'"{name}.txt"' for name in TEXTS)
    choose_in_file_dialog(j, "导入", sources, names)
    for name in TEXTS:
        j.find(os.path.join(sources, name + ".txt"), role="table cell", timeout=30)
    j.click(j.find("导入(I)", role="push button"))
    confirm_message(j, "已经完成稿件的导入！")
    j.click(j.find("关闭(C)", role="push button"))
    j.wait(lambda: not j.find_all("添加", role="push button"), "the import dialog to close")
    for name in TEXTS:
        j.find(name, role="table cell")

    # Export that folder into the new directory.
    j.menu("稿件库(&D)", "导出(&E)...")
    j.click(j.find("浏览", role="push button", timeout=30))
    choose_in_file_dialog(j, "请选择一个文件夹", target)
    j.click(j.find("全部选择>>", role="push button"))
    j.click(j.find("导出(E)", role="push button"))
    confirm_message(j, "已经完成对稿件的导出！")
    j.click(j.find("关闭(C)", role="push button"))

    written = sorted(os.listdir(target))
    if written != sorted(name + ".txt" for name in TEXTS):
        raise JourneyError(f"exported files: {written}")
    for name, text in TEXTS.items():
        with open(os.path.join(target, name + ".txt"), "rb") as f:
            data = f.read()
        if data != expected_bytes(text):
            raise JourneyError(f"{name}.txt holds {data!r}")


if __name__ == "__main__":
    main(journey)

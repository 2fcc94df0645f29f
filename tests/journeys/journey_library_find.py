"""Renaming a character across a hundred chapters through the real window:
an encrypted library of 100 chapters made with qdb, 查找 ▸ 在稿件库中查找,
查找全部 (the summary counts hits and manuscripts), 全部替换 with 是, the
texts read back through a handle of their own are replaced exactly, 撤销替换
puts every text back, and the library opened again shows the old text."""
import os
import subprocess
import tempfile

from journey import JourneyError, main

PASSWORD = "mi-ma-31"
CHAPTERS = 100
OLD, NEW = "林黛玉", "林妹妹"


def chapter_text(i, name):
    """Most chapters name her once, every fourth twice, every tenth not at all."""
    lines = [f"第{i}回", "园子里的花开了。"]
    if i % 10 != 0:
        lines.append(f"{name}走进园子。")
    if i % 4 == 0:
        lines.append(f"宝玉说：{name}来了。")
    return "\r\n".join(lines) + "\r\n"


def expected_counts():
    hits = sum(chapter_text(i, OLD).count(OLD) for i in range(1, CHAPTERS + 1))
    docs = sum(1 for i in range(1, CHAPTERS + 1) if OLD in chapter_text(i, OLD))
    return hits, docs


def qdb(j, *args):
    executable = os.environ.get("QUILLORA_QDB")
    if not executable:
        raise JourneyError("QUILLORA_QDB names no qdb executable")
    done = subprocess.run([executable, *args, "--password", PASSWORD], env=j.env,
                          capture_output=True, timeout=120)
    if done.returncode != 0:
        raise JourneyError(f"qdb {args[0]} failed: {done.stderr.decode(errors='replace')}")
    return done.stdout


def make_library(j, library):
    qdb(j, "create-library", library)
    sources = os.path.join(j.home, "chapters")
    os.makedirs(sources)
    files = []
    for i in range(1, CHAPTERS + 1):
        path = os.path.join(sources, f"ch{i:03}.txt")
        with open(path, "wb") as f:
            f.write(chapter_text(i, OLD).encode("gb18030"))
        files.append(path)
    qdb(j, "import", library, *files)


def check_texts(j, library, name):
    """Exports the library with qdb and compares every chapter byte for byte."""
    with tempfile.TemporaryDirectory(dir=j.home) as target:
        qdb(j, "export", library, target)
        for i in range(1, CHAPTERS + 1):
            with open(os.path.join(target, f"ch{i:03}.txt"), "rb") as f:
                data = f.read()
            if data != chapter_text(i, name).encode("gb18030"):
                raise JourneyError(f"ch{i:03} holds {data.decode('gb18030', errors='replace')!r}")


def answer_password(j):
    """The prompt shares its title with the file dialog before it: wait for
    its password box itself."""
    field = j.find("输入密码", role="password text", timeout=90)
    j.click(field)
    j.type(PASSWORD)
    j.click(j.find("确认", role="push button"))
    j.wait(lambda: not j.find_all("输入密码", role="password text"), "the password prompt to close")


def journey(j):
    library = os.path.join(j.home, "home", "红楼.qdb")
    make_library(j, library)
    hits, docs = expected_counts()
    j.start_app()
    j.open_library(library, "红楼", lambda: answer_password(j))

    # 查找全部: the summary counts hits and manuscripts.
    j.menu("查找(&S)", "在稿件库中查找")
    dialog = j.find("在稿件库中查找", role="dialog", timeout=30)
    j.set_text(j.find("查找内容", role="text", root=dialog), OLD)
    j.click(j.find("查找全部", role="push button", root=dialog))
    j.find(f"共找到 {hits} 处，分布在 {docs} 篇稿件中", role="label", timeout=90)

    # 全部替换 asks first; 是 replaces every hit.
    j.set_text(j.find("替换为", role="text", root=dialog), NEW)
    j.click(j.find("全部替换", role="push button", root=dialog))
    j.find(f"将替换 {hits} 处，涉及 {docs} 篇稿件。", role="label", timeout=90)
    j.click(j.find("是(Y)", role="push button"))
    j.find(f"已替换 {hits} 处，涉及 {docs} 篇稿件", role="label", timeout=90)
    check_texts(j, library, NEW)

    # 撤销替换 puts every text back.
    j.click(j.find("撤销替换", role="push button", root=dialog))
    j.wait(lambda: not j.find_all(f"已替换 {hits} 处，涉及 {docs} 篇稿件", role="label"), "the undo", timeout=90)
    check_texts(j, library, OLD)
    j.click(j.find("关闭", role="push button", root=dialog))
    j.wait(lambda: not j.find_all("在稿件库中查找", role="dialog"), "the dialog to close")

    # Opened again, the first chapter holds its old text.
    j.close_library("红楼")
    j.open_library(library, "红楼")   # its password was accepted once this run
    j.click(j.find("ch001", role="table cell"))
    j.focus_window()
    j.key("ctrl+o")
    editor = j.find("稿件内容", role="text")
    expected = chapter_text(1, OLD).rstrip("\r\n").replace("\r\n", "\n")
    j.wait(lambda: j.text_of(editor).replace("\r\n", "\n").rstrip("\n") == expected, "the old text of ch001")


main(journey)

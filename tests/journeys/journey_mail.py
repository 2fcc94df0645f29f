"""A manuscript goes out by mail, driven through the real window: a library
with a manuscript that has a picture, the mail preferences pointing at a test
SMTP server on 127.0.0.1; select the manuscript, 稿件 ▸ 发送邮件, fill the
recipient, send; the server receives the text and the zipped picture."""
import json
import os
import subprocess
import zipfile

from journey import JourneyError, main

TEXT = "春眠不觉晓，处处闻啼鸟。"
PICTURE = b"GIF89a\x01\x00\x01\x00picture bytes"


def qdb(j, *args):
    tool = os.path.join(os.path.dirname(os.path.dirname(j.executable)), "cli", "qdb")
    subprocess.run([tool, *args], check=True, env=j.env, stdout=subprocess.DEVNULL)


def start_sink(out):
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support", "smtp_sink.py")
    sink = subprocess.Popen(["/usr/bin/python3", "-W", "ignore", script, "--out", out],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    line = sink.stdout.readline().strip()
    if not line.startswith("PORT "):
        sink.kill()
        raise JourneyError("the test SMTP server did not start: " + line)
    return sink, int(line[5:])


def write_preferences(j, port, pictures):
    with open(os.path.join(j.home, "app", "registry.ini"), "w", encoding="utf-8") as f:
        f.write("[HKEY_LOCAL_MACHINE\\SoftWare\\Veltrix\\quilr1.3\\MailConfig]\n"
                "s:FromAddress=me@example.org\ns:FromName=王小明\ns:Server=127.0.0.1\n"
                f"s:Port={port}\ns:User=writer\n"
                "[HKEY_LOCAL_MACHINE\\SoftWare\\Veltrix\\Quilr1.3\\Path]\n"
                f"s:ExPic={pictures}\n")


def journey(j):
    work = os.path.join(j.home, "home", "稿件")
    inbox = os.path.join(j.home, "inbox")
    pictures = os.path.join(work, "图片")
    os.makedirs(inbox)
    os.makedirs(pictures)
    library = os.path.join(work, "小说.qdb")
    with open(os.path.join(work, "春晓.txt"), "w", encoding="utf-8") as f:
        f.write(TEXT)
    with open(os.path.join(work, "封面.gif"), "wb") as f:
        f.write(PICTURE)
    qdb(j, "create-library", library)
    qdb(j, "import", library, os.path.join(work, "春晓.txt"))
    qdb(j, "put", library, "Pics", "PicParent=1", "PicName=封面",
        "PicPath=" + os.path.join(work, "封面.gif"))
    sink, port = start_sink(inbox)
    try:
        write_preferences(j, port, pictures)
        j.start_app(library)
        j.find("稿件库：小说", role="label")
        j.click(j.find("春晓", role="table cell"))
        j.menu("稿件(&F)", "发送邮件(&M)")
        dialog = j.find("发送邮件", role="dialog")
        j.set_text(j.find("收件人", role="text", root=dialog), "editor@example.org")
        j.click(j.find("发送邮件(S)", role="push button", root=dialog))
        summary = os.path.join(inbox, "1.json")
        j.wait(lambda: os.path.exists(summary), "the server to receive the mail", 60)
        j.find("邮件已发送。", role="label", root=dialog)
        j.click(j.find("关闭(C)", role="push button", root=dialog))
        with open(summary, encoding="utf-8") as f:
            mail = json.load(f)
        if mail["subject"] != "春晓" or mail["rcpt_tos"] != ["editor@example.org"]:
            raise JourneyError(f"unexpected envelope or subject: {mail}")
        if [a["name"] for a in mail["attachments"]] != ["春晓.zip"]:
            raise JourneyError(f"unexpected attachments: {mail['attachments']}")
        with zipfile.ZipFile(mail["attachments"][0]["file"]) as archive:
            if archive.read("封面.gif") != PICTURE:
                raise JourneyError("the zipped picture differs from the file")
    finally:
        sink.stdin.close()
        sink.wait(10)


main(journey)

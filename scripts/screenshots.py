"""Retakes the README's screenshots: the window in the MacOS and DeepBlue
skins with a library open and a manuscript in the editor, under Xvfb.
Run: tests/journeys/run-journey.sh scripts/screenshots.py build/release/src/app/quillora"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "journeys"))
from journey import main  # noqa: E402

DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs")
TEXT = "第一章 雪山\n\n清晨，雪线之上的风把云撕成细条。她把笔记本摊在膝上，写下今天的第一句话。"


def shoot(j, skin, name):
    j.menu("工具(&T)", "更换皮肤(&S)", skin)
    j.focus_window()
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^QuilloraVer1.3$"],
                            env=j.env, capture_output=True, text=True).stdout.split()[-1]
    subprocess.run(["import", "-window", window, os.path.join(DOCS, name)], env=j.env, check=True)


def journey(j):
    chapter = os.path.join(j.home, "home", "第一章.txt")
    with open(chapter, "w", encoding="utf-8") as out:
        out.write(TEXT)
    j.start_app(chapter)
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^QuilloraVer1.3$"],
                            env=j.env, capture_output=True, text=True).stdout.split()[-1]
    j.xdotool("windowsize", "--sync", window, "1100", "720")
    j.find("稿件：" + chapter, role="label")
    shoot(j, "MacOS(&M)", "screenshot-style-macos.png")
    shoot(j, "DeepBlue(&D)", "screenshot-style-deepblue.png")


main(journey)

"""Retakes the README's pair of screenshots of the two interface languages:
the same manuscript in the window with the 稿件库 (Library) menu open, once
under zh_CN.UTF-8 and once under en_US.UTF-8, under Xvfb.
Run: tests/journeys/run-journey.sh scripts/screenshots_languages.py build/release/src/app/quillora"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "journeys"))
from journey import main  # noqa: E402

DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs")
TEXT = "第一章 雪山\n\n清晨，雪线之上的风把云撕成细条。她把笔记本摊在膝上，写下今天的第一句话。\n\nChapter One: the snow line."
LANGUAGES = [("zh_CN.UTF-8", "稿件库(&D)", "screenshot-language-zh.png"),
             ("en_US.UTF-8", "&Library", "screenshot-language-en.png")]


def main_window(j):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^QuilloraVer1.3$"],
                          env=j.env, capture_output=True, text=True).stdout.split()[-1]


def journey(j):
    chapter = os.path.join(j.home, "home", "chapter.txt")
    with open(chapter, "w", encoding="utf-8") as out:
        out.write(TEXT)
    j.env.pop("QUILLORA_LANGUAGE", None)
    for locale, menu, name in LANGUAGES:
        j.env.update({"LANG": locale, "LC_ALL": locale, "LANGUAGE": locale.split(".")[0]})
        j.start_app(chapter)
        window = main_window(j)
        j.xdotool("windowmove", "--sync", window, "0", "0")
        j.xdotool("windowsize", "--sync", window, "1100", "720")
        j.menu(menu)
        subprocess.run(["import", "-window", "root", "-crop", "1100x720+0+0", "+repage",
                        os.path.join(DOCS, name)], env=j.env, check=True)
        j.key("Escape")
        j.stop_app()


main(journey)

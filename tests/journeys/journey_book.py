"""A book of a library through the real window: a library with two
manuscripts, 稿件库 ▸ 输出书稿…, the output file typed into "输出书稿" (EPUB,
the format a library starts with), 输出; the end message names the file, and
the EPUB holds both chapters' text in the order the list shows them."""
import os
import zipfile

from journey import JourneyError, main

# ASCII text: characters typed through a remapped key get lost on a loaded
# machine, and the writers' handling of Chinese is tested without a window.
CHAPTERS = [("chapter1", "At dawn the road was quiet."), ("chapter2", "The wind rose at noon.")]


def journey(j):
    library = os.path.join(j.home, "home", "books")
    os.makedirs(os.path.dirname(library), exist_ok=True)
    book = os.path.join(j.home, "out", "book.epub")
    os.makedirs(os.path.dirname(book))
    j.start_app()
    j.create_library(library, "books")
    for name, text in CHAPTERS:
        j.type_and_save(j.new_manuscript(name), text)

    j.menu("稿件库(&D)", "输出书稿…")
    dialog = j.find("输出书稿", role="dialog", timeout=30)
    j.set_text(j.find("作者", role="text", root=dialog), "Anon")
    j.set_text(j.find("输出文件", role="text", root=dialog), book)
    j.click(j.find("输出", role="push button", root=dialog))
    done = f"书稿已输出到“{book}”，共 {len(CHAPTERS)} 章。"
    j.find(done, role="label", timeout=120)
    j.click(j.find("确定", role="push button"))
    j.wait(lambda: not j.find_all(done, role="label"), "the message to close")

    if not os.path.isfile(book):
        raise JourneyError("no book file")
    with zipfile.ZipFile(book) as epub:
        if epub.testzip() is not None:
            raise JourneyError("a damaged entry in the EPUB")
        pages = sorted(n for n in epub.namelist() if n.endswith(".xhtml") and "nav" not in n)
        text = "".join(epub.read(n).decode("utf-8") for n in pages)
    positions = [text.find(body) for _, body in CHAPTERS]
    if -1 in positions or positions != sorted(positions):
        raise JourneyError(f"chapter text missing or out of order in {pages}: {positions}")
    for name, _ in CHAPTERS:
        if name not in text:
            raise JourneyError(f"heading {name} missing")
    leftovers = [n for n in os.listdir(os.path.dirname(book)) if n != "book.epub"]
    if leftovers:
        raise JourneyError(f"files left beside the book: {leftovers}")


main(journey)

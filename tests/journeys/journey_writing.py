"""Writing statistics in the real window: type Chinese text into a new
manuscript, save it, and find the day's count in the status bar ("今日：N 字")
and in today's row of 工具 ▸ 写作统计."""
import datetime
import os

from journey import main

TEXT = "春眠不觉晓处处闻啼鸟"   # ten Chinese characters


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


main(journey)

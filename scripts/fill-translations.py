#!/usr/bin/env python3
"""Writes the English texts of translations/quillora_en.tsv into
translations/quillora_en.ts and marks them finished. Lines of the table are
"source<TAB>English" or "Context<TAB>source<TAB>English" (that context only);
"\\n" in either stands for a line break. Exits with 1 and lists the source
texts that have no English yet, so no entry stays unfinished unnoticed."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

root = Path(__file__).resolve().parent.parent
table_path = root / "translations" / "quillora_en.tsv"
ts_path = root / "translations" / "quillora_en.ts"


def unescape(text):
    return text.replace("\\n", "\n")


def read_table():
    common, by_context = {}, {}
    for line in table_path.read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        parts = line.split("\t")
        if len(parts) == 2:
            common[unescape(parts[0])] = unescape(parts[1])
        elif len(parts) == 3:
            by_context[(parts[0], unescape(parts[1]))] = unescape(parts[2])
        else:
            sys.exit(f"fill-translations: bad line in {table_path.name}: {line!r}")
    return common, by_context


def main():
    common, by_context = read_table()
    tree = ET.parse(ts_path)
    missing = []
    for context in tree.getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            english = by_context.get((name, source), common.get(source))
            translation = message.find("translation")
            if english is None:
                missing.append(f"{name}: {source!r}")
                continue
            translation.text = english
            translation.attrib.pop("type", None)
    ET.indent(tree, space="    ")
    with open(ts_path, "wb") as out:
        out.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        tree.write(out, encoding="utf-8", xml_declaration=False)
        out.write(b"\n")
    if missing:
        print("No English for:\n  " + "\n  ".join(missing), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env bash
# Refreshes translations/quillora_en.ts from the sources: new source texts are
# added unfinished, vanished ones dropped. Run after changing captions, then
# fill the new English entries (scripts/fill-translations.py does it from a table).
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
"$lupdate" -locations none -no-obsolete -source-language zh_CN -target-language en \
  src -ts translations/quillora_en.ts

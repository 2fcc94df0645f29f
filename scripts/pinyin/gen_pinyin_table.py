#!/usr/bin/python3
"""Builds src/tools/pinyin/PinyinTables.cpp: the GBK code table (126 rows of
191 columns, one syllable number per double-byte code, 0 for none) and the
alphabetically ordered list of toneless syllables it numbers against.

Run it with Debian's own interpreter so that it sees the system packages:

    /usr/bin/python3 scripts/pinyin/gen_pinyin_table.py \
        [--pinyin-pro DIR] [--output FILE|-]

Sources, read as data (no network, nothing else installed):
  * Debian package unicode-data: /usr/share/unicode/Unihan_Readings.txt.bz2
    (kMandarin, kHanyuPinyin, kXHC1983, kTGHZ2013, kHangul) and
    Unihan_IRGSources.txt.bz2 (kCompatibilityVariant).
  * Debian package golang-github-mozillazg-go-pinyin-dev: the Go map in
    /usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go.
  * npm package pinyin-pro: its single-character dictionary file
    dist/esm/data/dict1.mjs, parsed as text.  Install it outside the
    repository:  mkdir -p /tmp/pinyin-data && cd /tmp/pinyin-data &&
    npm install pinyin-pro   (the default --pinyin-pro is
    /tmp/pinyin-data/node_modules/pinyin-pro, or $PINYIN_PRO_DIR).
  * ICU's uconv (Debian package icu-devtools) maps each GBK code to Unicode
    through its "gb18030" converter.

The committed table was made from unicode-data 15.0.0-1,
golang-github-mozillazg-go-pinyin-dev 0.19.0+ds.1-1+b6, icu-devtools
72.1-3+deb12u1 and npm pinyin-pro 3.29.5 (Debian 12); the generated file names
the versions it was made from in its "// Read:" lines.

Reading chosen per character, first match wins: the reviewed override list
below; the Korean reading for the few Korean-made characters listed below;
the first reading of pinyin-pro (its readings are ordered by frequency); the
first of go-pinyin; then Unihan kMandarin, kHanyuPinyin, kXHC1983, kTGHZ2013.
Tone marks are dropped and u-umlaut is spelt "v" (lv, nv, lve, nve).

Exit codes: 0 done, 2 bad arguments, 3 a source is missing (the message
names it), 4 the data is not as expected.
"""

import argparse
import bz2
import json
import os
import re
import subprocess
import sys
import unicodedata

UNIHAN_READINGS = "/usr/share/unicode/Unihan_Readings.txt.bz2"
UNIHAN_IRG = "/usr/share/unicode/Unihan_IRGSources.txt.bz2"
GO_PINYIN_DICT = "/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go"
DEFAULT_PINYIN_PRO = "/tmp/pinyin-data/node_modules/pinyin-pro"
UCONV = "/usr/bin/uconv"

DEBIAN_PACKAGES = ("unicode-data", "golang-github-mozillazg-go-pinyin-dev", "icu-devtools")

# Characters whose first reading in the sources is not the one most common in
# modern Mandarin (reviewed by hand against everyday usage), and the unit
# characters, which read as two syllables.
OVERRIDES = {
    "簿": "bu", "镐": "gao", "貉": "he", "咀": "ju", "咳": "ke", "牟": "mou",
    "铣": "xi", "嚣": "xiao", "栅": "zha", "仔": "zi",
    "丌": "ji", "乜": "mie", "剡": "shan", "仡": "ge", "伧": "cang", "偻": "lou",
    "阽": "dian", "郗": "xi", "艹": "cao", "荠": "ji", "荥": "xing", "莞": "guan",
    "掴": "guai", "呗": "bei", "嗨": "hai", "嘞": "lei", "樘": "tang", "歙": "she",
    "於": "yu", "沓": "da", "箐": "qing", "趵": "bao", "鳜": "gui",
    # Unit characters.
    "瓩": "qianwa", "兛": "qianke", "兡": "baike", "瓸": "baiwa", "兙": "shike",
    "瓧": "shiwa", "兣": "gongli", "嗧": "jialun", "瓰": "fenwa",
    "瓱": "haowa", "甅": "liwa",
}

# Characters made in Korea for Korean names; they read in romanised Korean.
KOREAN_ORIGIN = ("乤", "乫", "乭", "乶")

# Rows the lookup code handles by rule; their code-table entries stay 0.
RULE_ROWS = (0xA2, 0xA3, 0xA6)

# Rows are indexed by lead byte 0x81-0xFE, columns by trail byte 0x40-0xFE.
LEADS = range(0x81, 0xFF)
TRAILS = range(0x40, 0xFF)


class MissingSource(Exception):
    pass


def read_text(path, opener=open):
    if not os.path.exists(path):
        raise MissingSource(path)
    with opener(path, "rt", encoding="utf-8") as f:
        return f.read()


def toneless(reading):
    """'lüè' -> 'lve', 'zhōng' -> 'zhong'; '' when it is not a plain syllable."""
    s = reading.strip().lower()
    s = unicodedata.normalize("NFD", s)
    s = s.replace("u\u0308", "v")
    s = "".join(c for c in s if not unicodedata.combining(c))
    return s if re.fullmatch(r"[a-z]+", s) else ""


def parse_pinyin_pro(text):
    """dict1.mjs holds `const map = { reading(s): ['字', ...], ... }`; a later
    key wins for a character, as it does when the file is loaded."""
    start = text.find("const map = {")
    end = text.find("\n};", start)
    if start < 0 or end < 0:
        raise ValueError("pinyin-pro dictionary: map not found")
    readings = {}
    entry = re.compile(r"^\s{4}(?:'([^']*)'|([^\s:'\[\]]+)):\s*\[(.*?)\]", re.M | re.S)
    for m in entry.finditer(text[start:end]):
        key = m.group(1) if m.group(1) is not None else m.group(2)
        for ch in re.findall(r"'([^']*)'", m.group(3)):
            readings[ch] = key.split()
    return readings


def parse_go_pinyin(text):
    found = re.findall(r'0x([0-9A-Fa-f]+): "([^"]*)"', text)
    return {chr(int(cp, 16)): value.split(",") for cp, value in found}


def parse_unihan(text, fields):
    out = {}
    for line in text.splitlines():
        if not line.startswith("U+"):
            continue
        cp, field, value = line.split("\t", 2)
        if field in fields:
            out.setdefault(chr(int(cp[2:], 16)), {})[field] = value
    return out


def unihan_mandarin_readings(fields):
    """Candidate readings from Unihan, most modern first."""
    out = []
    if "kMandarin" in fields:
        out += fields["kMandarin"].split()
    for name in ("kHanyuPinyin", "kXHC1983", "kTGHZ2013"):
        for item in fields.get(name, "").split():
            out += item.split(":", 1)[-1].split(",")
    return out


HANGUL_INITIALS = ["g", "kk", "n", "d", "tt", "r", "m", "b", "pp", "s", "ss", "",
                   "j", "jj", "ch", "k", "t", "p", "h"]
HANGUL_VOWELS = ["a", "ae", "ya", "yae", "eo", "e", "yeo", "ye", "o", "wa", "wae",
                 "oe", "yo", "u", "wo", "we", "wi", "yu", "eu", "ui", "i"]
HANGUL_FINALS = ["", "k", "k", "k", "n", "n", "n", "t", "l", "k", "m", "l", "l",
                 "l", "p", "l", "m", "p", "p", "t", "t", "ng", "t", "t", "k", "t",
                 "p", "t"]


def romanise_hangul(syllable):
    """Revised Romanisation of one Hangul syllable, e.g. 돌 -> dol."""
    index = ord(syllable) - 0xAC00
    if not 0 <= index < 11172:
        return ""
    initial, rest = divmod(index, 588)
    vowel, final = divmod(rest, 28)
    return HANGUL_INITIALS[initial] + HANGUL_VOWELS[vowel] + HANGUL_FINALS[final]


def choose_reading(ch, sources):
    pinyin_pro, go_pinyin, unihan = sources
    if ch in OVERRIDES:
        return OVERRIDES[ch]
    fields = unihan.get(ch, {})
    if ch in KOREAN_ORIGIN and "kHangul" in fields:
        korean = romanise_hangul(fields["kHangul"].split()[0][0])
        if korean:
            return korean
    candidates = []
    candidates += pinyin_pro.get(ch, [])[:1]
    candidates += go_pinyin.get(ch, [])[:1]
    candidates += unihan_mandarin_readings(fields)
    for candidate in candidates:
        syllable = toneless(candidate)
        if syllable:
            return syllable
    return ""


def gbk_codes():
    return [(lead, trail) for lead in LEADS for trail in TRAILS
            if trail != 0x7F and lead not in RULE_ROWS]


def map_gbk_to_unicode(codes):
    """One uconv run over every code, each followed by a newline."""
    if not os.path.exists(UCONV):
        raise MissingSource(UCONV + " (icu-devtools)")
    data = b"".join(bytes(code) + b"\n" for code in codes)
    result = subprocess.run([UCONV, "-f", "gb18030", "-t", "utf-8"], input=data,
                            capture_output=True, check=True)
    chars = result.stdout.decode("utf-8").split("\n")[: len(codes)]
    if len(chars) != len(codes) or any(len(c) != 1 for c in chars):
        raise ValueError("uconv did not give one character per code")
    return dict(zip(codes, chars))


def is_private_use(ch):
    return unicodedata.category(ch) == "Co"


def compatibility_targets(irg_text):
    targets = {}
    for line in irg_text.splitlines():
        if line.startswith("U+") and "\tkCompatibilityVariant\t" in line:
            cp, _, value = line.split("\t", 2)
            targets[chr(int(cp[2:], 16))] = chr(int(value.strip()[2:], 16))
    return targets


def build_readings(code_chars, sources, compat):
    readings = {}
    for code, ch in code_chars.items():
        if is_private_use(ch) or ch == "\ufffd":
            continue
        reading = choose_reading(ch, sources)
        if not reading and ch in compat:
            reading = choose_reading(compat[ch], sources)
        if reading:
            readings[code] = reading
    return readings


def package_version(name):
    result = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", name],
                            capture_output=True, text=True)
    if result.returncode != 0 or not result.stdout:
        raise MissingSource("Debian package " + name)
    return result.stdout


def load_sources(pinyin_pro_dir):
    versions = [(name, package_version(name)) for name in DEBIAN_PACKAGES]
    package_json = os.path.join(pinyin_pro_dir, "package.json")
    meta = json.loads(read_text(package_json))
    versions.append(("npm pinyin-pro", meta["version"]))
    dict1 = read_text(os.path.join(pinyin_pro_dir, "dist", "esm", "data", "dict1.mjs"))
    sources = (parse_pinyin_pro(dict1),
               parse_go_pinyin(read_text(GO_PINYIN_DICT)),
               parse_unihan(read_text(UNIHAN_READINGS, bz2.open),
                            {"kMandarin", "kHanyuPinyin", "kXHC1983", "kTGHZ2013", "kHangul"}))
    compat = compatibility_targets(read_text(UNIHAN_IRG, bz2.open))
    return versions, sources, compat


NOTICES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "notices.txt")


def render(versions, readings):
    syllables = sorted(set(readings.values()))
    number = {s: i + 1 for i, s in enumerate(syllables)}
    out = ["// Generated by scripts/pinyin/gen_pinyin_table.py. Do not edit; run the script again.",
           "//",
           "// GBK code table and toneless syllable list for TPinyinSpell, derived (with",
           "// modifications: one toneless reading chosen per character, reviewed overrides)",
           "// from the data of these packages (name and version):"]
    out += ["// Read: %s %s" % (name, version) for name, version in versions]
    out += ["// Codes with a reading: %d; syllables: %d." % (len(readings), len(syllables)), "//"]
    out += [("// " + line).rstrip() for line in read_text(NOTICES).splitlines()]
    out += ["", '#include "tools/pinyin/PinyinTables.h"', "", "namespace pinyin {", "",
            "const int kSyllableCount = %d;" % len(syllables),
            "const int kCodesWithReading = %d;" % len(readings), "",
            "// Index 0 is the empty reading of table entry 0.",
            "const std::string_view kSyllables[] = {"]
    out += ['    "",'] + ['    "%s",  // %d' % (s, number[s]) for s in syllables]
    out += ["};", "", "const std::uint16_t kCodeTable[kCodeRows * kCodeColumns] = {"]
    for lead in LEADS:
        out.append("    // row %02X" % lead)
        row = [number.get(readings.get((lead, trail)), 0) for trail in TRAILS]
        for i in range(0, len(row), 16):
            out.append("    " + ", ".join(str(n) for n in row[i:i + 16]) + ",")
    out += ["};", "", "}  // namespace pinyin", ""]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    default_out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                               "src", "tools", "pinyin", "PinyinTables.cpp")
    parser.add_argument("--pinyin-pro", default=os.environ.get("PINYIN_PRO_DIR", DEFAULT_PINYIN_PRO))
    parser.add_argument("--output", default=os.path.normpath(default_out),
                        help="file to write, or - for standard output")
    args = parser.parse_args()
    try:
        versions, sources, compat = load_sources(args.pinyin_pro)
        code_chars = map_gbk_to_unicode(gbk_codes())
    except MissingSource as missing:
        print("gen_pinyin_table: missing source: %s" % missing, file=sys.stderr)
        return 3
    except (ValueError, subprocess.CalledProcessError) as bad:
        print("gen_pinyin_table: unexpected data: %s" % bad, file=sys.stderr)
        return 4
    readings = build_readings(code_chars, sources, compat)
    text = render(versions, readings)
    if args.output == "-":
        sys.stdout.write(text)
    else:
        with open(args.output, "w", encoding="utf-8") as f:
            f.write(text)
    print("codes with a reading: %d, syllables: %d" % (len(readings), len(set(readings.values()))),
          file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())

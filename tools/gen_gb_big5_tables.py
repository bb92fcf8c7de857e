#!/usr/bin/env python3
"""Generates src/core/search/gb_big5_tables.cpp, the GB2312 <-> BIG5 conversion tables.

Character sets come from glibc's iconv(3) (GB2312, GB18030 and BIG5), the simplified <-> traditional
choice from OpenCC's character maps (STCharacters, TSCharacters, with TWVariants / TWVariantsRev for
Taiwan's forms), so that a simplified character maps to its traditional form in BIG5 and back, not
only characters that happen to share a code point.

Run by hand, from anywhere:  python3 tools/gen_gb_big5_tables.py
Needs the Debian packages opencc and libopencc-data. Prints coverage figures on stderr.
"""

import argparse
import ctypes
import ctypes.util
import pathlib
import subprocess
import sys
import tempfile

REPO = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_OUTPUT = REPO / "src/core/search/gb_big5_tables.cpp"

# Table layout read by ConvertCodePage: GB rows and columns counted from 0xA1, 94 columns, 87 rows;
# BIG5 rows of 157 columns (trail 0x40-0x7E, then 0xA1-0xFE), main table from lead 0xA1, second table
# from lead 0x81.
GB_SIZE = 87 * 94
BIG5_MAIN_SIZE = 13927
BIG5_LOW_SIZE = 780
NO_COUNTERPART = 0x3F3F  # "??"
OPENCC_MAPS = ["STCharacters", "TSCharacters", "TWVariants", "TWVariantsRev"]

# Symbols that the two character sets write with different but look-alike code points; tried last.
LOOK_ALIKES = [
    (0x30FB, 0x00B7),  # katakana middle dot / middle dot
    (0x2027, 0x00B7),  # hyphenation point / middle dot
    (0x2015, 0x2014),  # horizontal bar / em dash
    (0x2016, 0x2225),  # double vertical line / parallel to
    (0x2236, 0xFF1A),  # ratio / fullwidth colon
    (0x02C9, 0x00AF),  # modifier letter macron / macron
]


class Iconv:
    """One glibc iconv(3) conversion, applied to a single character at a time."""

    _libc = None

    def __init__(self, to_code, from_code):
        libc = Iconv._load()
        self._cd = libc.iconv_open(to_code.encode(), from_code.encode())
        if self._cd in (None, ctypes.c_void_p(-1).value):
            sys.exit(f"iconv cannot convert {from_code} to {to_code}")
        self._buffer = ctypes.create_string_buffer(16)

    @classmethod
    def _load(cls):
        if cls._libc is None:
            libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
            libc.iconv_open.restype = ctypes.c_void_p
            libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
            size_p = ctypes.POINTER(ctypes.c_size_t)
            void_pp = ctypes.POINTER(ctypes.c_void_p)
            libc.iconv.restype = ctypes.c_size_t
            libc.iconv.argtypes = [ctypes.c_void_p, void_pp, size_p, void_pp, size_p]
            libc.gnu_get_libc_version.restype = ctypes.c_char_p
            cls._libc = libc
        return cls._libc

    @classmethod
    def glibc_version(cls):
        return cls._load().gnu_get_libc_version().decode()

    def __call__(self, data):
        """The converted bytes, or None when the input is not one clean, reversible conversion."""
        source = ctypes.create_string_buffer(data, len(data))
        in_ptr = ctypes.c_void_p(ctypes.addressof(source))
        in_left = ctypes.c_size_t(len(data))
        out_ptr = ctypes.c_void_p(ctypes.addressof(self._buffer))
        out_left = ctypes.c_size_t(len(self._buffer))
        self._libc.iconv(self._cd, None, None, None, None)  # reset any shift state
        result = self._libc.iconv(
            self._cd, ctypes.byref(in_ptr), ctypes.byref(in_left), ctypes.byref(out_ptr), ctypes.byref(out_left)
        )
        if result != 0 or in_left.value != 0:
            return None
        return self._buffer.raw[: len(self._buffer) - out_left.value]


class Charset:
    """Decodes two-byte codes of one character set to a character and encodes characters to codes."""

    def __init__(self, name):
        self._decoder = Iconv("UTF-32LE", name)
        self._encoder = Iconv(name, "UTF-32LE")

    def decode(self, code):
        data = self._decoder(bytes([code >> 8, code & 0xFF]))
        if data is None or len(data) != 4:
            return None
        char = int.from_bytes(data, "little")
        return None if is_private_use(char) else char

    def encode(self, char):
        """The two-byte code of char, or None (absent, or a single- or four-byte sequence)."""
        data = self._encoder(char.to_bytes(4, "little"))
        if data is None or len(data) != 2 or data[0] < 0x81:
            return None
        return data[0] << 8 | data[1]


def is_private_use(char):
    return 0xE000 <= char <= 0xF8FF


def load_opencc_map(dictionary_dir, name):
    """Single character -> its candidates in OpenCC's order, from the binary .ocd2 dictionary."""
    with tempfile.TemporaryDirectory() as scratch:
        text_file = pathlib.Path(scratch) / (name + ".txt")
        dictionary = dictionary_dir / (name + ".ocd2")
        command = ["opencc_dict", "-i", str(dictionary), "-o", str(text_file), "-f", "ocd2", "-t", "text"]
        subprocess.run(command, check=True)
        mapping = {}
        for line in text_file.read_text(encoding="utf-8").splitlines():
            key, _, values = line.partition("\t")
            if len(key) == 1:
                mapping[ord(key)] = [ord(v) for v in values.split() if len(v) == 1]
        return mapping


def look_alikes_of(char):
    found = []
    for a, b in LOOK_ALIKES:
        if char == a:
            found.append(b)
        elif char == b:
            found.append(a)
    return found


def invert(mapping):
    inverse = {}
    for key, values in mapping.items():
        for value in values:
            inverse.setdefault(value, []).append(key)
    return inverse


class Forms:
    """The characters to try for a source character, best first: its forms in the other script (with
    their regional variants), itself, characters whose other-script form it is, then look-alike symbols."""

    def __init__(self, to_other_script, from_other_script, variants):
        self._to_other = to_other_script
        self._from_other = invert(from_other_script)
        self._variants = variants

    def __call__(self, chars):
        ordered = []
        for char in chars:
            for form in self._to_other.get(char, []):
                ordered += [form] + self._variants.get(form, [])
        for char in chars:
            ordered += [char] + self._variants.get(char, [])
        for char in chars:
            ordered += self._from_other.get(char, [])
        for char in chars:
            ordered += look_alikes_of(char)
        return list(dict.fromkeys(ordered))


def first_code(chars, encoders):
    """The code of the first character that an encoder can write, trying encoders in order."""
    for encode in encoders:
        for char in chars:
            code = encode(char)
            if code is not None:
                return code
    return NO_COUNTERPART


def gb_code(index):
    return (0xA1 + index // 94) << 8 | (0xA1 + index % 94)


def big5_code(index, first_lead):
    lead, column = first_lead + index // 157, index % 157
    return lead << 8 | (0x40 + column if column < 63 else 0x62 + column)


def big5_index(code):
    """(table, index) of a BIG5 code in the BIG5 -> GB tables, or None when neither holds it."""
    lead, trail = code >> 8, code & 0xFF
    if not (0x40 <= trail <= 0x7E or 0xA1 <= trail <= 0xFE):
        return None
    column = trail - 0x40 if trail < 0xA1 else trail - 0x62
    for table, first_lead, size in (("main", 0xA1, BIG5_MAIN_SIZE), ("low", 0x81, BIG5_LOW_SIZE)):
        index = (lead - first_lead) * 157 + column
        if lead >= first_lead and index < size:
            return table, index
    return None


def build_gb_to_big5(gb2312, gb18030, big5, forms):
    def encode_big5(char):
        # A code the reverse tables cannot hold would never come back to GB.
        code = big5.encode(char)
        return code if code is not None and big5_index(code) is not None else None

    table = []
    for index in range(GB_SIZE):
        code = gb_code(index)
        # GB18030 is read too: it names some GB2312 symbols differently and fills a few empty cells.
        chars = list(dict.fromkeys(c for c in (gb2312.decode(code), gb18030.decode(code)) if c is not None))
        table.append(first_code(forms(chars), [encode_big5]) if chars else 0)
    return table


def build_big5_to_gb(size, first_lead, gb2312, gb18030, big5, forms, variants):
    table = []
    for index in range(size):
        char = big5.decode(big5_code(index, first_lead))
        if char is None:
            table.append(0)
            continue
        # GB2312 first; a character GB2312 lacks keeps its GBK two-byte code rather than becoming "??".
        chars = [char] + variants.get(char, [])
        table.append(first_code(forms(chars), [gb2312.encode, gb18030.encode]))
    return table


def gb_hanzi_indexes(gb2312):
    first_hanzi_row = 0xB0 - 0xA1
    return [i for i in range(first_hanzi_row * 94, GB_SIZE) if gb2312.decode(gb_code(i)) is not None]


def coverage(gb2312, big5, tables):
    def back_to_gb(code):
        found = big5_index(code)
        return tables[found[0]][found[1]] if found else None

    hanzi = gb_hanzi_indexes(gb2312)
    mapped = [i for i in hanzi if tables["gb"][i] not in (0, NO_COUNTERPART)]
    survived = [i for i in mapped if back_to_gb(tables["gb"][i]) == gb_code(i)]
    big5_chars = (big5.decode(big5_code(i, 0xA1)) or 0 for i in range(BIG5_MAIN_SIZE))
    big5_hanzi = [i for i, char in enumerate(big5_chars) if 0x4E00 <= char <= 0x9FFF]
    to_gb2312 = [i for i in big5_hanzi if gb2312.decode(tables["main"][i]) is not None]
    to_any_gb = [i for i in big5_hanzi if tables["main"][i] != NO_COUNTERPART]

    def share(part, whole):
        return f"{len(part)} of {len(whole)} ({100.0 * len(part) / len(whole):.2f}%)"

    return [
        f"GB2312 hanzi with a BIG5 counterpart: {share(mapped, hanzi)}",
        f"GB2312 hanzi unchanged after GB -> BIG5 -> GB: {share(survived, hanzi)}",
        f"BIG5 hanzi (main table) with a GB2312 counterpart: {share(to_gb2312, big5_hanzi)}",
        f"BIG5 hanzi (main table) with a GB2312 or GBK counterpart: {share(to_any_gb, big5_hanzi)}",
    ]


def package_version(package):
    try:
        result = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], capture_output=True, text=True)
        return result.stdout.strip() or "unknown"
    except OSError:
        return "unknown"


def format_table(name, size, table, row_length, row_label):
    lines = [f"const std::array<std::uint16_t, {size}> {name} = {{"]
    for start in range(0, len(table), row_length):
        lines.append(f"    // {row_label(start)}")
        row = table[start : start + row_length]
        for piece in range(0, len(row), 12):
            lines.append("    " + " ".join(f"0x{v:04X}," for v in row[piece : piece + 12]))
    lines.append("};")
    return "\n".join(lines)


def render(tables, opencc_version):
    header = f"""\
// Generated by tools/gen_gb_big5_tables.py from glibc {Iconv.glibc_version()} iconv (GB2312, GB18030, BIG5)
// and the OpenCC {opencc_version} maps STCharacters, TSCharacters, TWVariants, TWVariantsRev.
// Do not edit; regenerate with
//   python3 tools/gen_gb_big5_tables.py
// Entries: BIG5 or GB code, lead byte high; 0 = not a character here, 0x3F3F = no counterpart.
// clang-format off
#include "core/search/gb_big5_tables.h"

namespace quorvex {{
"""
    parts = [
        format_table("kGbToBig5", "kGbToBig5Size", tables["gb"], 94, lambda i: f"GB row {0xA1 + i // 94:02X}"),
        format_table("kBig5ToGb", "kBig5ToGbSize", tables["main"], 157, lambda i: f"BIG5 lead {0xA1 + i // 157:02X}"),
        format_table(
            "kBig5LowToGb", "kBig5LowToGbSize", tables["low"], 157, lambda i: f"BIG5 lead {0x81 + i // 157:02X}"
        ),
    ]
    return header + "\n" + "\n\n".join(parts) + "\n\n}  // namespace quorvex\n// clang-format on\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", type=pathlib.Path, default=DEFAULT_OUTPUT)
    parser.add_argument("--opencc-dir", type=pathlib.Path, default=pathlib.Path("/usr/share/opencc"))
    args = parser.parse_args()

    gb2312, gb18030, big5 = Charset("GB2312"), Charset("GB18030"), Charset("BIG5")
    opencc = {name: load_opencc_map(args.opencc_dir, name) for name in OPENCC_MAPS}
    # BIG5 is Taiwan's character set, so Taiwan's variant of a traditional form is tried next to it.
    to_traditional = Forms(opencc["STCharacters"], opencc["TSCharacters"], opencc["TWVariants"])
    to_simplified = Forms(opencc["TSCharacters"], opencc["STCharacters"], {})

    taiwan_to_standard = opencc["TWVariantsRev"]
    tables = {
        "gb": build_gb_to_big5(gb2312, gb18030, big5, to_traditional),
        "main": build_big5_to_gb(BIG5_MAIN_SIZE, 0xA1, gb2312, gb18030, big5, to_simplified, taiwan_to_standard),
        "low": build_big5_to_gb(BIG5_LOW_SIZE, 0x81, gb2312, gb18030, big5, to_simplified, taiwan_to_standard),
    }
    args.output.write_text(render(tables, package_version("libopencc-data")), encoding="ascii")
    for line in coverage(gb2312, big5, tables):
        print(line, file=sys.stderr)


if __name__ == "__main__":
    main()

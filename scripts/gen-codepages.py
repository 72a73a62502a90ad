#!/usr/bin/env python3
"""Writes src/core/base/codepages.inc, the tables of the text codec.

The standard characters of each code page come from the C library's (glibc's)
converter, asked about every one- and two-byte sequence and every character
through ctypes; the areas Windows maps into the Private Use Area (user-defined
characters, and for code page 936 the unassigned positions of GBK) are added
as ranges, since glibc refuses them. Windows adds nothing else to these code
pages, and what it would only approximate ("best fit") stays unmapped.

    scripts/gen-codepages.py [output]     (default: the checked-in file)
    scripts/gen-codepages.py --check      exit 1 when the checked-in file differs,
                                          77 (a skip) when glibc's iconv is absent
"""

import ctypes
import ctypes.util
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUTPUT = ROOT / "src" / "core" / "base" / "codepages.inc"

LEADS = range(0x81, 0xFF)  # lead bytes of both double-byte code pages
TRAILS = range(0x40, 0xFF)  # trail bytes a table row covers (191)
SKIP = 77  # ctest's SKIP_RETURN_CODE


class Converter:
    """One glibc iconv descriptor; convert() gives None when glibc refuses."""

    _libc = None

    def __init__(self, to, frm):
        if Converter._libc is None:
            name = ctypes.util.find_library("c")
            libc = ctypes.CDLL(name, use_errno=True) if name else None
            if libc is None or not hasattr(libc, "gnu_get_libc_version"):
                print("skipped: the tables come from glibc's iconv, which this system lacks")
                sys.exit(SKIP)
            libc.iconv_open.restype = ctypes.c_void_p
            libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
            pp = ctypes.POINTER(ctypes.c_char_p)
            ps = ctypes.POINTER(ctypes.c_size_t)
            libc.iconv.argtypes = [ctypes.c_void_p, pp, ps, pp, ps]
            libc.iconv.restype = ctypes.c_size_t
            Converter._libc = libc
        self.cd = Converter._libc.iconv_open(to.encode(), frm.encode())
        if self.cd in (None, ctypes.c_void_p(-1).value):
            print(f"skipped: glibc's iconv cannot convert {frm} to {to} here")
            sys.exit(SKIP)

    def convert(self, data):
        libc = Converter._libc
        libc.iconv(self.cd, None, None, None, None)
        src = ctypes.create_string_buffer(data, len(data))
        dst = ctypes.create_string_buffer(16)
        sp = ctypes.c_char_p(ctypes.addressof(src))
        dp = ctypes.c_char_p(ctypes.addressof(dst))
        sl, dl = ctypes.c_size_t(len(data)), ctypes.c_size_t(16)
        r = libc.iconv(self.cd, ctypes.byref(sp), ctypes.byref(sl), ctypes.byref(dp), ctypes.byref(dl))
        if r == ctypes.c_size_t(-1).value or sl.value:
            return None
        return dst.raw[: 16 - dl.value]


def glibc_single(name):
    """Code points of bytes 0x80-0xFF (0 when glibc refuses the byte)."""
    dec = Converter("UTF-16LE", name)
    out = []
    for b in range(0x80, 0x100):
        u = dec.convert(bytes([b]))
        out.append(int.from_bytes(u, "little") if u and len(u) == 2 else 0)
    return out


def glibc_double(name):
    """Code point of every lead-trail pair, row by row (0 when refused)."""
    dec = Converter("UTF-16LE", name)
    out = []
    for lead in LEADS:
        for trail in TRAILS:
            u = dec.convert(bytes([lead, trail]))
            out.append(int.from_bytes(u, "little") if u and len(u) == 2 else 0)
    return out


def fill_area(table, first, leads, trails):
    """Maps the free positions of `leads` x `trails`, in byte order, to
    consecutive code points from `first`; gives the next code point."""
    for lead in leads:
        for trail in trails:
            i = (lead - LEADS.start) * len(TRAILS) + trail - TRAILS.start
            if table[i] == 0:
                table[i] = first
                first += 1
    return first


def check_one_to_one(name, single, double):
    """The encoder is the decoder's inverse only when no two sequences read
    as one character: glibc's encoder must give every sequence back."""
    enc = Converter(name, "UTF-16LE")
    for i, u in enumerate(double):
        if u and not 0xE000 <= u <= 0xF8FF:
            code = bytes([LEADS.start + i // len(TRAILS), TRAILS.start + i % len(TRAILS)])
            assert enc.convert(u.to_bytes(2, "little")) == code, code.hex()
    for b, u in enumerate(single, 0x80):
        assert not u or enc.convert(u.to_bytes(2, "little")) == bytes([b]), hex(b)


def cp936():
    single = glibc_single("CP936")
    double = glibc_double("CP936")
    gbk_trails = [t for t in TRAILS if t != 0x7F]
    # User-defined areas, then every position of GBK left unassigned.
    u = fill_area(double, 0xE000, range(0xAA, 0xB0), range(0xA1, 0xFF))
    u = fill_area(double, u, range(0xF8, 0xFF), range(0xA1, 0xFF))
    u = fill_area(double, u, range(0xA1, 0xA8), [t for t in range(0x40, 0xA1) if t != 0x7F])
    assert u == 0xE766, hex(u)
    u = fill_area(double, u, LEADS, gbk_trails)
    assert u == 0xE865, hex(u)
    check_one_to_one("CP936", single, double)
    return single, double


def cp950():
    single = glibc_single("CP950")
    double = glibc_double("CP950")
    big5_trails = [t for t in TRAILS if t <= 0x7E or t >= 0xA1]
    u = fill_area(double, 0xE000, range(0xFA, 0xFF), big5_trails)
    u = fill_area(double, u, range(0x8E, 0xA1), big5_trails)
    u = fill_area(double, u, range(0x81, 0x8E), big5_trails)
    assert u == 0xF6B1, hex(u)
    return single, double


def cp1252():
    single = glibc_single("CP1252")
    # Windows passes the five bytes code page 1252 leaves free through as C1
    # control characters.
    for b in (0x81, 0x8D, 0x8F, 0x90, 0x9D):
        assert single[b - 0x80] == 0
        single[b - 0x80] = b
    return single


def array(name, values, per_line=12):
    lines = [f"constexpr std::uint16_t {name}[{len(values)}] = {{"]
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(f"0x{v:04X}" for v in values[i : i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def generate():
    parts = [
        "// Generated by scripts/gen-codepages.py from glibc's converters and the",
        "// areas Windows adds; do not edit. Upper halves of single-byte code pages",
        "// give the code point of bytes 0x80-0xFF; double-byte tables give it for",
        "// lead bytes 0x81-0xFE, row by row, trail bytes 0x40-0xFE. 0: no character.",
        "// Code page 936 reads no two sequences as one character.",
        "",
    ]
    for cp, (single, double) in (("936", cp936()), ("950", cp950())):
        parts.append(array(f"kCp{cp}Single", single))
        parts.append(array(f"kCp{cp}Double", double))
    parts.append(array("kCp1252Single", cp1252()))
    parts.append(array("kCp437Single", glibc_single("IBM437")))
    return "\n".join(parts) + "\n"


def main():
    text = generate()
    if sys.argv[1:] == ["--check"]:
        if OUTPUT.read_bytes() != text.encode():
            sys.exit(f"{OUTPUT} is not what {sys.argv[0]} generates")
        return
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else OUTPUT
    out.write_bytes(text.encode())


if __name__ == "__main__":
    main()

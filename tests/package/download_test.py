#!/usr/bin/env python3
"""Checks the Windows download as a user meets it after unzipping.

    download_test.py ZIP

The 64-bit programs beside each other, the 32-bit control and viewer in x86/,
and texts that every Notepad shows right: UTF-8 with a byte-order mark and
CR LF line ends. Prints one line per problem and exits with their count.
"""
import struct
import sys
import zipfile

MACHINES = {0x8664: "x64", 0x14C: "x86"}
PROGRAMS = {
    "Tockly/Tockly.exe": "x64",
    "Tockly/Lunetra.ocx": "x64",
    "Tockly/LunetraView.exe": "x64",
    "Tockly/x86/Lunetra.ocx": "x86",
    "Tockly/x86/LunetraView.exe": "x86",
}
TEXTS = ["Tockly/README.txt", "Tockly/读我.txt"]


def machine(data):
    if data[:2] != b"MZ":
        return "not a program"
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return "not a program"
    return MACHINES.get(struct.unpack_from("<H", data, pe + 4)[0], "another processor")


def problems(zip_path):
    with zipfile.ZipFile(zip_path) as z:
        names = set(z.namelist())
        for name in sorted(set(PROGRAMS) | set(TEXTS) | {"Tockly/Software_information.ini", "Tockly/Voice/"}):
            if name not in names:
                yield f"{name}: missing"
        for name, wanted in PROGRAMS.items():
            if name in names and (found := machine(z.read(name))) != wanted:
                yield f"{name}: {found}, not {wanted}"
        for name in TEXTS:
            if name not in names:
                continue
            data = z.read(name)
            if not data.startswith(b"\xef\xbb\xbf"):
                yield f"{name}: no UTF-8 byte-order mark"
            if data.count(b"\n") != data.count(b"\r\n"):
                yield f"{name}: a line end that is not CR LF"
            try:
                data.decode("utf-8")
            except UnicodeDecodeError as e:
                yield f"{name}: not UTF-8 ({e})"


def main():
    found = list(problems(sys.argv[1]))
    for line in found:
        print(f"download: {line}")
    sys.exit(len(found))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks the Windows download as a user meets it after unzipping.

    download_test.py ZIP

The 64-bit programs beside each other, the 32-bit control and viewer in x86/,
texts that every Notepad shows right (UTF-8 with a byte-order mark and CR LF
line ends), and a clock that does not load at its start what it needs only on
demand. Prints one line per problem and exits with their count.
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
# Bound at the first call, not at start: the file-open dialog, the time page,
# the dialogs and tooltips, the first sound.
ON_DEMAND = {"comdlg32.dll", "winhttp.dll", "comctl32.dll", "winmm.dll"}


def machine(data):
    if data[:2] != b"MZ":
        return "not a program"
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return "not a program"
    return MACHINES.get(struct.unpack_from("<H", data, pe + 4)[0], "another processor")


def imported_dlls(data):
    """The DLLs of a 64-bit program's import table (the ones loaded at start)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    import_rva = struct.unpack_from("<I", data, optional + 120)[0]  # PE32+ data directory 1

    def offset(rva):
        for i in range(sections):
            va, raw_size, raw = struct.unpack_from("<4xIII", data, optional + optional_size + 40 * i + 8)
            if va <= rva < va + raw_size:
                return rva - va + raw
        raise ValueError(f"RVA {rva:#x} in no section")

    names, at = set(), offset(import_rva)
    while (name_rva := struct.unpack_from("<I", data, at + 12)[0]) != 0:
        start = offset(name_rva)
        names.add(data[start:data.index(b"\0", start)].decode().lower())
        at += 20
    return names


def problems(zip_path):
    with zipfile.ZipFile(zip_path) as z:
        names = set(z.namelist())
        for name in sorted(set(PROGRAMS) | set(TEXTS) | {"Tockly/Software_information.ini", "Tockly/Voice/"}):
            if name not in names:
                yield f"{name}: missing"
        for name, wanted in PROGRAMS.items():
            if name in names and (found := machine(z.read(name))) != wanted:
                yield f"{name}: {found}, not {wanted}"
        if "Tockly/Tockly.exe" in names:
            clock = z.read("Tockly/Tockly.exe")
            for dll in sorted(imported_dlls(clock) & ON_DEMAND):
                yield f"Tockly/Tockly.exe: loads {dll} at start"
            for dll in sorted(ON_DEMAND):
                if dll.encode() not in clock.lower():
                    yield f"Tockly/Tockly.exe: does not name {dll} at all"
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

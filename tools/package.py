#!/usr/bin/env python3
"""Makes the Windows download: one zip holding the folder Tockly/, and its
SHA-256 beside it.

    package.py PROGRAM_FOLDER ZIP [--date YYYY-MM-DDTHH:MM:SS]

The zip is the same bytes every time it is made from the same files: the
entries are sorted, every entry has the same date (the commit's, given by
--date), the same attributes and the same compression. Texts for Windows
users (*.txt) get CR LF line ends and a UTF-8 byte-order mark, without which
the Notepad of older Windows (and Wine's) reads them in the ANSI code page
and shows 读我.txt as garbage.
"""
import argparse
import hashlib
import os
import sys
import zipfile

UTF8_BOM = b"\xef\xbb\xbf"


def entries(folder):
    out = []
    for root, dirs, files in os.walk(folder):
        dirs.sort()
        for name in files:
            path = os.path.join(root, name)
            out.append((os.path.relpath(path, folder).replace(os.sep, "/"), path))
    return sorted(out)


def windows_text(data):
    data = data.removeprefix(UTF8_BOM).replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    data.decode("utf-8")  # a text that is not UTF-8 would get a false mark
    return UTF8_BOM + data


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("zip")
    parser.add_argument("--date", default="2026-01-01T00:00:00")
    args = parser.parse_args()
    day, clock = args.date.split("T")
    date_time = tuple(int(x) for x in day.split("-")) + tuple(int(x) for x in clock.split(":"))
    if date_time[0] < 1980:
        sys.exit("package.py: zip dates start in 1980")

    tmp = args.zip + ".part"
    def folder_entry(z, name):
        info = zipfile.ZipInfo(name, date_time)
        info.create_system = 0  # as made on Windows: no Unix owner or mode to honour
        info.external_attr = 0x10  # directory
        z.writestr(info, b"")

    with zipfile.ZipFile(tmp, "w") as z:
        folder_entry(z, "Tockly/")
        folders = set()
        for relative, path in entries(args.folder):
            parts = relative.split("/")
            for i in range(1, len(parts)):
                folder = "Tockly/" + "/".join(parts[:i]) + "/"
                if folder not in folders:
                    folders.add(folder)
                    folder_entry(z, folder)
            with open(path, "rb") as f:
                data = f.read()
            if relative.endswith(".txt"):
                data = windows_text(data)
            info = zipfile.ZipInfo("Tockly/" + relative, date_time)
            info.create_system = 0
            info.external_attr = 0x20  # archive
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data, compresslevel=9)
    os.replace(tmp, args.zip)

    with open(args.zip, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(args.zip + ".sha256", "w", newline="\n") as f:
        f.write(f"{digest}  {os.path.basename(args.zip)}\n")
    print(f"{args.zip}\n{digest}")


if __name__ == "__main__":
    main()

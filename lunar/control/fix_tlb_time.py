#!/usr/bin/env python3
"""Gives a type library made by widl a fixed creation time, so that the same
sources give the same Lunetra.ocx: widl writes the time of its run into the
library twice, as the text "Created by WIDL version V at <asctime>" and as a
32-bit time value four bytes after that text's end.

    fix_tlb_time.py LIBRARY.tlb SECONDS_SINCE_1970
"""
import re
import struct
import sys
import time


def main():
    path, seconds = sys.argv[1], int(sys.argv[2])
    data = bytearray(open(path, "rb").read())
    found = re.search(rb"Created by WIDL version [^\n]* at ([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\d \d\d:\d\d:\d\d \d{4})\n",
                      bytes(data))
    if not found:
        sys.exit(0)  # a widl that writes no time: nothing to fix
    fixed = time.strftime("%a %b %e %H:%M:%S %Y", time.gmtime(seconds)).encode()
    assert len(fixed) == len(found.group(1))
    data[found.start(1):found.end(1)] = fixed
    at = found.end() + 4
    if at + 4 <= len(data):
        written = struct.unpack_from("<I", data, at)[0]
        if abs(written - int(time.time())) < 7 * 86400:  # it is the run's time
            struct.pack_into("<I", data, at, seconds & 0xFFFFFFFF)
    open(path, "wb").write(bytes(data))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Packs one release zip, the same bytes every time for the same inputs.

    release_pack.py shipped
        the shipped executables, one a line: file, CMake target, subsystem (and further DLLs)
    release_pack.py zip --out FILE.zip --folder NAME --version X.Y.Z --epoch SECONDS
                        --exes DIR --source DIR
        writes FILE.zip with one folder NAME/ that holds the shipped executables from DIR and
        README.txt and LICENSE.txt made from the sources in DIR (release/README.txt, LICENSE)

Nothing of the machine goes into the zip: every entry gets the time `--epoch` (the commit's
time), fixed permissions and no extra fields, and entries are sorted by name. The texts are
made for Notepad on every Windows from 7 on: CR LF line ends, and README.txt, which is mostly
Chinese, UTF-8 with a byte-order mark.
"""

import argparse
import os
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SHIPPED_LIST = os.path.join(HERE, "..", "release", "shipped.txt")
SUBSYSTEMS = ("gui", "console")


class Shipped:
    def __init__(self, file, target, subsystem, *dlls):
        self.file = file
        self.target = target
        self.subsystem = subsystem
        self.dlls = list(dlls)  # further DLLs it may import


def shipped_executables(path=SHIPPED_LIST):
    """The executables of release/shipped.txt, in the order listed."""
    shipped = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split()
            if (len(fields) < 3 or fields[2] not in SUBSYSTEMS or not fields[0].endswith(".exe")
                    or not fields[0].isascii()
                    or not all(d.lower().endswith(".dll") for d in fields[3:])):
                sys.exit(f"{path}:{number}: expected 'file.exe target gui|console [DLL...]', "
                         f"got {line!r}")
            shipped.append(Shipped(*fields))
    if not shipped:
        sys.exit(f"{path}: no executables listed")
    return shipped


def windows_text(text, bom):
    """LF line ends to CR LF, optionally behind a UTF-8 byte-order mark."""
    body = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    return (b"\xef\xbb\xbf" if bom else b"") + body


def readme(template, version):
    """README.txt from its template: @VERSION@ is replaced."""
    return template.replace("@VERSION@", version)


def zip_time(epoch):
    # ZIP keeps local time without a zone; UTC makes it the same everywhere. The format starts
    # in 1980.
    t = time.gmtime(max(epoch, 315532800))
    return (t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec)


def write_zip(out, folder, members, epoch):
    """members: {name inside the folder: (bytes, executable?)}"""
    date_time = zip_time(epoch)

    def entry(name, mode):
        info = zipfile.ZipInfo(name, date_time)
        info.create_system = 3  # Unix: the permissions below are Unix modes
        info.external_attr = mode << 16
        return info

    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        directory = entry(folder + "/", 0o40755)
        directory.external_attr |= 0x10  # MS-DOS directory flag
        z.writestr(directory, b"")
        for name in sorted(members):
            data, executable = members[name]
            info = entry(folder + "/" + name, 0o100755 if executable else 0o100644)
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data, compresslevel=9)
    os.replace(tmp, out)


def pack(args):
    shipped = shipped_executables(os.path.join(args.source, "release", "shipped.txt"))
    members = {}
    for exe in shipped:
        path = os.path.join(args.exes, exe.file)
        if not os.path.isfile(path):
            sys.exit(f"release: {exe.file} (target {exe.target}) was not built: no {path}")
        with open(path, "rb") as f:
            members[exe.file] = (f.read(), True)
    with open(os.path.join(args.source, "release", "README.txt"), encoding="utf-8") as f:
        text = readme(f.read(), args.version)
    members["README.txt"] = (windows_text(text, bom=True), False)
    with open(os.path.join(args.source, "LICENSE"), encoding="utf-8") as f:
        members["LICENSE.txt"] = (windows_text(f.read(), bom=False), False)
    for name in members:
        if not name.isascii():
            sys.exit(f"release: {name!r} is not an ASCII file name")
    write_zip(args.out, args.folder, members, args.epoch)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    sub.add_parser("shipped")
    z = sub.add_parser("zip")
    z.add_argument("--out", required=True)
    z.add_argument("--folder", required=True)
    z.add_argument("--version", required=True)
    z.add_argument("--epoch", required=True, type=int)
    z.add_argument("--exes", required=True)
    z.add_argument("--source", required=True)
    args = parser.parse_args()
    if args.command == "shipped":
        for exe in shipped_executables():
            print(exe.file, exe.target, exe.subsystem, *exe.dlls)
    else:
        pack(args)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks what the release ships, and compares two releases.

    check_release.py dist DIR [--version-header app/version.h]
        the zips and SHA256SUMS in DIR: names, layout, texts, and every shipped executable
    check_release.py exe FILE --arch x64|x86 --subsystem gui|console [--version 1.2.1.0]
        one executable
    check_release.py compare DIR_A DIR_B
        two release folders byte for byte; names the file, and inside a zip the member and in
        an executable the section, where they first differ

Exit code 0 when everything holds; 1 with one line per fault otherwise.

The executables are read with a small PE reader of our own rather than objdump's text, so that
every fact checked is a field read from a known offset.
"""

import argparse
import hashlib
import os
import re
import struct
import subprocess
import sys
import zipfile
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "scripts"))
import release_pack  # noqa: E402  (the list of shipped executables lives there)

# DLLs a shipped executable may import. Every one may import from these four; any other
# import (a MinGW runtime DLL, say) would make the program fail to start on a user's machine.
ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}
# Further system DLLs that every Windows from 7 on has: release/shipped.txt may allow one of
# these for an executable that needs it, and only these.
EVERY_WINDOWS_HAS = {"advapi32.dll", "shell32.dll"}

MACHINES = {"x64": (0x8664, 0x20B, "PE32+"), "x86": (0x14C, 0x10B, "PE32")}
SUBSYSTEMS = {"gui": 2, "console": 3}
RT_VERSION, RT_MANIFEST = 16, 24


class Faults:
    def __init__(self):
        self.list = []

    def __call__(self, ok, message):
        if not ok:
            self.list.append(message)
        return ok


# ---- A PE reader ------------------------------------------------------------------------------

class PeError(Exception):
    pass


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe + 4
        (self.machine, self.section_count, self.timestamp, self.symbol_table, self.symbol_count,
         optional_size, _) = struct.unpack_from("<HHIIIHH", data, coff)
        opt = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, opt)
        if self.magic not in (0x10B, 0x20B):
            raise PeError(f"unknown optional header magic 0x{self.magic:x}")
        (self.subsystem,) = struct.unpack_from("<H", data, opt + 68)
        dirs = opt + (96 if self.magic == 0x10B else 112)
        (dir_count,) = struct.unpack_from("<I", data, dirs - 4)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(dir_count)]
        self.sections = []
        table = opt + optional_size
        for i in range(self.section_count):
            raw_name, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data,
                                                                          table + 40 * i)
            self.sections.append((self._section_name(raw_name), vaddr, max(vsize, raw_size),
                                  raw_ptr, raw_size))

    def _section_name(self, raw):
        name = raw.rstrip(b"\0").decode("latin-1")
        # Long names ("/4") point into the COFF string table behind the symbols.
        if name.startswith("/") and name[1:].isdigit() and self.symbol_table:
            at = self.symbol_table + 18 * self.symbol_count + int(name[1:])
            name = self.data[at:self.data.index(b"\0", at)].decode("latin-1")
        return name

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for _, vaddr, size, raw_ptr, raw_size in self.sections:
            if vaddr <= rva < vaddr + size and rva - vaddr < raw_size:
                return raw_ptr + rva - vaddr
        raise PeError(f"RVA 0x{rva:x} is in no section")

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def section_at(self, file_offset):
        (pe,) = struct.unpack_from("<I", self.data, 0x3C)
        if pe + 8 <= file_offset < pe + 12:
            return "the PE header's TimeDateStamp"
        for name, _, _, raw_ptr, raw_size in self.sections:
            if raw_ptr <= file_offset < raw_ptr + raw_size:
                return name
        return "the headers" if file_offset < 0x400 else "no section"

    def imports(self):
        dlls = []
        rva, size = self.directory(1)
        if rva:
            at = self.offset(rva)
            while True:
                entry = struct.unpack_from("<IIIII", self.data, at)
                if entry == (0, 0, 0, 0, 0):
                    break
                dlls.append(self.cstring(entry[3]))
                at += 20
        rva, size = self.directory(13)  # delay-loaded imports count the same
        if rva:
            at = self.offset(rva)
            while True:
                entry = struct.unpack_from("<8I", self.data, at)
                if entry[1] == 0:
                    break
                dlls.append(self.cstring(entry[1]))
                at += 32
        return dlls

    def resources(self):
        """[(type, name, language, data, [time stamps of the directories on the way])]"""
        rva, _ = self.directory(2)
        if not rva:
            return []
        base = self.offset(rva)
        found = []

        def walk(offset, path, stamps):
            _, stamp, _, _, named, ids = struct.unpack_from("<IIHHHH", self.data, base + offset)
            for i in range(named + ids):
                ident, target = struct.unpack_from("<II", self.data, base + offset + 16 + 8 * i)
                key = ident if not ident & 0x80000000 else "named"
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, path + [key], stamps + [stamp])
                else:
                    data_rva, size, _, _ = struct.unpack_from("<IIII", self.data, base + target)
                    at = self.offset(data_rva)
                    found.append((*(path + [key]), self.data[at:at + size], stamps + [stamp]))

        walk(0, [], [])
        return found


def version_info(block):
    """(fixed file version, {string name: value}) of a VS_VERSIONINFO resource."""
    fixed = None
    strings = {}

    def align(n):
        return (n + 3) & ~3

    def parse(at, end, depth):
        nonlocal fixed
        while at + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block, at)
            if length == 0:
                break
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = align(key_end + 2)
            if key == "VS_VERSION_INFO":
                signature, _, ms, ls = struct.unpack_from("<IIII", block, value_at)
                if signature == 0xFEEF04BD:
                    fixed = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
                children = align(value_at + value_length)
            elif kind == 1 and depth == 3:  # a string: value_length counts UTF-16 units
                strings[key] = block[value_at:value_at + 2 * value_length].decode(
                    "utf-16-le").rstrip("\0")
                children = at + length
            else:
                children = align(value_at + value_length)
            parse(children, at + length, depth + 1)
            at = align(at + length)

    parse(0, len(block), 0)
    return fixed, strings


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


def check_manifest(text, version, fault, name):
    try:
        root = ET.fromstring(text)
    except ET.ParseError as e:
        fault(False, f"{name}: the manifest is not XML: {e}")
        return
    identities = [e for e in root.iter() if local_name(e.tag) == "assemblyIdentity"]
    own = [e for e in identities if e.get("name") != "Microsoft.Windows.Common-Controls"]
    controls = [e for e in identities if e.get("name") == "Microsoft.Windows.Common-Controls"]
    fault(any(e.get("version") == "6.0.0.0" for e in controls),
          f"{name}: the manifest asks for no common controls 6.0.0.0")
    fault(all(e.get("version") == version for e in own),
          f"{name}: the manifest's own version is {[e.get('version') for e in own]}, not {version}")
    dpi = sorted({local_name(e.tag) for e in root.iter()
                  if local_name(e.tag).lower() in ("dpiaware", "dpiawareness")})
    fault(not dpi, f"{name}: the manifest declares DPI awareness ({', '.join(dpi)})")


def check_exe(data, name, arch, subsystem, version, further_dlls=()):
    """Every fault of one shipped executable, as messages."""
    fault = Faults()
    further = {d.lower() for d in further_dlls}
    unknown = sorted(further - EVERY_WINDOWS_HAS)
    fault(not unknown, f"{name}: release/shipped.txt allows {', '.join(unknown)}, which is not a "
                       f"DLL that every Windows has ({', '.join(sorted(EVERY_WINDOWS_HAS))})")
    allowed = ALLOWED_IMPORTS | (further & EVERY_WINDOWS_HAS)
    try:
        pe = Pe(data)
    except (PeError, struct.error, ValueError) as e:
        return [f"{name}: not a Windows executable ({e})"]
    machine, magic, kind = MACHINES[arch]
    fault(pe.machine == machine and pe.magic == magic,
          f"{name}: machine 0x{pe.machine:x} / magic 0x{pe.magic:x}, expected {kind} for {arch}")
    fault(pe.subsystem == SUBSYSTEMS[subsystem],
          f"{name}: subsystem {pe.subsystem}, expected {SUBSYSTEMS[subsystem]} ({subsystem})")
    fault(pe.timestamp == 0, f"{name}: the PE header holds a link time (0x{pe.timestamp:08x})")
    debug = [s[0] for s in pe.sections if s[0].startswith(".debug") or s[0].startswith("/")]
    fault(not debug, f"{name}: debug sections {', '.join(debug)}")
    fault(pe.symbol_table == 0 and pe.symbol_count == 0,
          f"{name}: not stripped ({pe.symbol_count} symbols)")
    fault(pe.directory(6) == (0, 0), f"{name}: has a debug directory")
    try:
        dlls = pe.imports()
    except (PeError, struct.error, ValueError) as e:
        dlls = []
        fault(False, f"{name}: unreadable import table ({e})")
    others = sorted({d for d in dlls if d.lower() not in allowed})
    fault(not others, f"{name}: imports from {', '.join(others)}; allowed are only "
                      f"{', '.join(sorted(allowed))}")
    fault(bool(dlls), f"{name}: imports nothing (unreadable import table?)")

    try:
        resources = pe.resources()
    except (PeError, struct.error, ValueError) as e:
        resources = []
        fault(False, f"{name}: unreadable resources ({e})")
    stamps = {s for r in resources for s in r[4]}
    fault(stamps <= {0}, f"{name}: the resource directory holds a time stamp")
    versions = [r[3] for r in resources if r[0] == RT_VERSION]
    manifests = [r[3] for r in resources if r[0] == RT_MANIFEST and r[1] == 1]
    fault(len(versions) == 1, f"{name}: {len(versions)} version resources, expected 1")
    if subsystem == "gui":
        fault(len(manifests) == 1, f"{name}: no embedded manifest (RT_MANIFEST 1)")
    for block in versions:
        fixed, strings = version_info(block)
        fixed_text = ".".join(map(str, fixed)) if fixed else None
        fault(fixed_text == version, f"{name}: version resource says {fixed_text}, not {version}")
        for key in ("FileVersion", "ProductVersion"):
            fault(strings.get(key) == version,
                  f"{name}: version string {key} is {strings.get(key)!r}, not {version}")
    for text in manifests:
        check_manifest(text, version, fault, name)
    return fault.list


# ---- The release folder -----------------------------------------------------------------------

def read_version(header):
    with open(header, encoding="utf-8") as f:
        text = f.read()
    parts = [re.search(rf"#define QUILLORA_VERSION_{p} (\d+)", text).group(1)
             for p in ("MAJOR", "MINOR", "PATCH", "BUILD")]
    return ".".join(parts)


def local_header_extra(raw, info):
    name_length, extra_length = struct.unpack_from("<HH", raw, info.header_offset + 26)
    return extra_length


def check_zip(path, stem, arch, shipped, version, license_text):
    fault = Faults()
    name = os.path.basename(path)
    with open(path, "rb") as f:
        raw = f.read()
    with zipfile.ZipFile(path) as z:
        bad = z.testzip()
        fault(bad is None, f"{name}: member {bad} is damaged")
        infos = z.infolist()
        names = [i.filename for i in infos]
        expected = sorted([stem + "/"] + [f"{stem}/{n}" for n in
                                          [e.file for e in shipped] + ["README.txt", "LICENSE.txt"]])
        fault(sorted(names) == expected, f"{name}: holds {names}, expected {expected}")
        fault(names == sorted(names), f"{name}: entries are not sorted by name")
        fault(all(n.isascii() for n in names), f"{name}: a file name is not ASCII")
        fault(len({i.date_time for i in infos}) == 1, f"{name}: entries have different times")
        for i in infos:
            fault(i.extra == b"" and local_header_extra(raw, i) == 0,
                  f"{name}: {i.filename} has extra fields")
            fault(i.flag_bits & 0x8 == 0, f"{name}: {i.filename} has a data descriptor")
        members = {i.filename[len(stem) + 1:]: z.read(i) for i in infos if not i.is_dir()}

    readme = members.get("README.txt", b"")
    fault(readme.startswith(b"\xef\xbb\xbf"), f"{name}: README.txt has no UTF-8 byte-order mark")
    try:
        text = readme[3:].decode("utf-8")
    except UnicodeDecodeError:
        text = ""
        fault(False, f"{name}: README.txt is not UTF-8")
    for what, data in (("README.txt", readme), ("LICENSE.txt", members.get("LICENSE.txt", b""))):
        fault(data.count(b"\n") > 0 and data.count(b"\n") == data.count(b"\r\n") == data.count(b"\r"),
              f"{name}: {what} does not end every line with CR LF")
    fault(len(re.findall(r"[\u4e00-\u9fff]", text)) > 200, f"{name}: README.txt is not a Chinese text")
    for needed in ("quillora.exe", "config.ini", "100 000", "In English", version.rsplit(".", 1)[0]):
        fault(needed in text, f"{name}: README.txt does not mention {needed!r}")
    for exe in shipped:
        fault(exe.file in text, f"{name}: README.txt does not mention {exe.file}")
    fault(members.get("LICENSE.txt", b"").replace(b"\r\n", b"\n").decode("utf-8", "replace")
          == license_text, f"{name}: LICENSE.txt is not the repository's LICENSE")

    for exe in shipped:
        data = members.get(exe.file)
        if data is not None:
            fault.list += check_exe(data, f"{name}: {exe.file}", arch, exe.subsystem, version,
                                    exe.dlls)
    return fault.list


def check_dist(folder, version):
    fault = Faults()
    shipped = release_pack.shipped_executables()
    with open(os.path.join(ROOT, "LICENSE"), encoding="utf-8") as f:
        license_text = f.read()
    fault("The Quillora authors" in license_text and "MIT License" in license_text,
          "LICENSE is not the MIT licence of The Quillora authors")
    short = version.rsplit(".", 1)[0]
    files = sorted(os.listdir(folder))
    zips = [f for f in files if f.endswith(".zip")]
    stems = {re.sub(r"-windows-x(64|86)\.zip$", "", z) for z in zips}
    fault(len(stems) == 1 and re.fullmatch(rf"quillora-{re.escape(short)}(-dirty)?", next(iter(stems)))
          is not None, f"{folder}: zips {zips} are not quillora-{short}[-dirty]-windows-x64/x86.zip")
    stem = next(iter(stems)) if stems else f"quillora-{short}"
    expected = sorted([f"{stem}-windows-x64.zip", f"{stem}-windows-x86.zip", "SHA256SUMS"])
    fault(files == expected, f"{folder}: holds {files}, expected {expected}")
    if stem.endswith("-dirty"):
        print(f"note: {stem} is a build of uncommitted changes")

    sums = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=folder, capture_output=True, text=True)
    fault(sums.returncode == 0, f"sha256sum -c SHA256SUMS in {folder} failed: "
                                f"{(sums.stdout + sums.stderr).strip()}")
    if os.path.exists(os.path.join(folder, "SHA256SUMS")):
        with open(os.path.join(folder, "SHA256SUMS")) as f:
            listed = sorted(line.split()[-1] for line in f if line.strip())
        fault(listed == sorted(zips), f"SHA256SUMS lists {listed}, the folder holds {zips}")

    for arch in ("x64", "x86"):
        path = os.path.join(folder, f"{stem}-windows-{arch}.zip")
        if os.path.exists(path):
            fault.list += check_zip(path, stem, arch, shipped, version, license_text)
    return fault.list


# ---- Comparing two releases -------------------------------------------------------------------

def first_difference(a, b):
    n = min(len(a), len(b))
    for i in range(n):
        if a[i] != b[i]:
            return i
    return n


def explain(name, a, b):
    """Where two versions of a file first differ."""
    at = first_difference(a, b)
    where = f"{name}: {len(a)} and {len(b)} bytes, first difference at byte {at}"
    if name.lower().endswith(".exe"):
        try:
            where += f" (in {Pe(a).section_at(at)})"
        except (PeError, struct.error, ValueError):
            pass
    return where


def compare(dir_a, dir_b):
    import io
    differences = []
    files_a, files_b = sorted(os.listdir(dir_a)), sorted(os.listdir(dir_b))
    if files_a != files_b:
        differences.append(f"the folders hold different files: {files_a} and {files_b}")
    for name in sorted(set(files_a) & set(files_b)):
        with open(os.path.join(dir_a, name), "rb") as f:
            a = f.read()
        with open(os.path.join(dir_b, name), "rb") as f:
            b = f.read()
        if a == b:
            continue
        differences.append(f"{name} differs (sha256 {hashlib.sha256(a).hexdigest()[:16]}... and "
                           f"{hashlib.sha256(b).hexdigest()[:16]}...)")
        if not name.endswith(".zip"):
            differences.append("  " + explain(name, a, b))
            continue
        za, zb = zipfile.ZipFile(io.BytesIO(a)), zipfile.ZipFile(io.BytesIO(b))
        ia, ib = za.infolist(), zb.infolist()
        if [i.filename for i in ia] != [i.filename for i in ib]:
            differences.append(f"  different entries: {[i.filename for i in ia]} and "
                               f"{[i.filename for i in ib]}")
        for x, y in zip(ia, ib):
            if x.filename != y.filename:
                continue
            ma, mb = za.read(x), zb.read(y)
            if ma != mb:
                differences.append("  member " + explain(x.filename, ma, mb))
            for field in ("date_time", "external_attr", "create_system", "extra", "compress_type",
                          "flag_bits"):
                if getattr(x, field) != getattr(y, field):
                    differences.append(f"  member {x.filename}: {field} {getattr(x, field)!r} and "
                                       f"{getattr(y, field)!r}")
    return differences


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    sub = parser.add_subparsers(dest="command", required=True)
    d = sub.add_parser("dist")
    d.add_argument("folder")
    d.add_argument("--version-header", default=os.path.join(ROOT, "app", "version.h"))
    e = sub.add_parser("exe")
    e.add_argument("file")
    e.add_argument("--arch", choices=MACHINES, required=True)
    e.add_argument("--subsystem", choices=SUBSYSTEMS, required=True)
    e.add_argument("--version", default=None)
    e.add_argument("--allow", action="append", default=[], metavar="DLL",
                   help="a further DLL it may import (one that every Windows has)")
    c = sub.add_parser("compare")
    c.add_argument("a")
    c.add_argument("b")
    args = parser.parse_args()

    if args.command == "dist":
        faults = check_dist(args.folder, read_version(args.version_header))
        ok_text = f"release in {args.folder}: every check held"
    elif args.command == "exe":
        with open(args.file, "rb") as f:
            data = f.read()
        version = args.version or read_version(os.path.join(ROOT, "app", "version.h"))
        faults = check_exe(data, os.path.basename(args.file), args.arch, args.subsystem, version,
                           args.allow)
        ok_text = f"{args.file}: every check held"
    else:
        faults = compare(args.a, args.b)
        ok_text = f"{args.a} and {args.b} are byte for byte the same"
    for f in faults:
        print("FAIL: " + f)
    if not faults:
        print(ok_text)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

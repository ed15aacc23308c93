#!/usr/bin/env python3
"""The release checks must catch what they are there for: each case spoils a good release (or
one of its executables) in one way and expects check_release.py to name that fault.

    check_release_test.py GOOD_DIST UNSTRIPPED_EXE

GOOD_DIST is a release folder that passes the checks; UNSTRIPPED_EXE a quillora.exe of a
64-bit test build, which keeps its symbols and debug sections.
"""

import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import check_release  # noqa: E402

failures = []


def expect(what, messages, needle):
    hits = [m for m in messages if needle in m]
    if not hits:
        failures.append(f"{what}: expected a fault with {needle!r}, got {messages}")
    else:
        print(f"ok   {what}: {hits[0]}")


def replaced(data, old, new):
    assert len(old) == len(new) and data.count(old) >= 1, (old, new)
    return data.replace(old, new, 1)


def pe_header(data):
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    return pe + 4  # the COFF header


def with_timestamp(data):
    coff = pe_header(data)
    return data[:coff + 4] + struct.pack("<I", 0x5F000000) + data[coff + 8:]


def with_subsystem(data, value):
    at = pe_header(data) + 20 + 68
    return data[:at] + struct.pack("<H", value) + data[at + 2:]


def with_file_version(data, ls):
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    return data[:at + 12] + struct.pack("<I", ls) + data[at + 16:]


def dpi_aware(data):
    old = b"<description>Quillora headline composer</description>"
    new = b"<dpiAware>true</dpiAware>"
    return replaced(data, old, new + b" " * (len(old) - len(new)))


def exe_cases(good):
    """(what, spoilt executable, arch, subsystem, expected fault)"""
    return [
        ("link time in the PE header", with_timestamp(good), "x64", "gui", "link time"),
        ("console subsystem", with_subsystem(good, 3), "x64", "gui", "subsystem 3"),
        ("checked as the other architecture", good, "x86", "gui", "expected PE32 for x86"),
        ("import from another DLL", replaced(good, b"USER32.dll", b"COMCTL.dll"), "x64", "gui",
         "imports from COMCTL.dll"),
        ("version 1.2.2.0 in the version resource", with_file_version(good, (2 << 16) | 0), "x64",
         "gui", "version resource says 1.2.2.0"),
        ("DPI awareness in the manifest", dpi_aware(good), "x64", "gui", "DPI awareness"),
        ("common controls 5", replaced(good, b'version="6.0.0.0"', b'version="5.8.0.0"'), "x64",
         "gui", "no common controls 6.0.0.0"),
        ("not an executable", b"MZ" + b"\0" * 100, "x64", "gui", "not a Windows executable"),
    ]


def rewrite_zip(path, change):
    """Writes the zip again entry by entry; change(info, data) returns the new (info, data)."""
    with zipfile.ZipFile(path) as z:
        entries = [(i, z.read(i)) for i in z.infolist()]
    with zipfile.ZipFile(path, "w") as z:
        for info, data in entries:
            info, data = change(info, data)
            z.writestr(info, data, compress_type=info.compress_type)


def main():
    good_dist, unstripped = sys.argv[1], sys.argv[2]
    version = check_release.read_version(os.path.join(check_release.ROOT, "app", "version.h"))
    zips = sorted(f for f in os.listdir(good_dist) if f.endswith(".zip"))
    x64 = next(z for z in zips if z.endswith("-x64.zip"))
    stem = x64[:-len("-windows-x64.zip")]
    with zipfile.ZipFile(os.path.join(good_dist, x64)) as z:
        good = z.read(f"{stem}/quillora.exe")

    base = check_release.check_exe(good, "quillora.exe", "x64", "gui", version)
    if base:
        failures.append(f"the good executable does not pass: {base}")
    for what, data, arch, subsystem, needle in exe_cases(good):
        expect(what, check_release.check_exe(data, "quillora.exe", arch, subsystem, version), needle)
    # A further DLL is allowed only when the list names it, and only one that every Windows has.
    shell = replaced(good, b"KERNEL32.dll", b"SHELL32.dll\0")
    expect("import from SHELL32 that the list does not allow",
           check_release.check_exe(shell, "quillora.exe", "x64", "gui", version),
           "imports from SHELL32.dll")
    allowed = check_release.check_exe(shell, "quillora.exe", "x64", "gui", version, ["SHELL32.dll"])
    if allowed:
        failures.append(f"import from SHELL32 that the list allows: faults {allowed}")
    else:
        print("ok   import from SHELL32 that the list allows: no fault")
    expect("the list allows a DLL that not every Windows has",
           check_release.check_exe(good, "quillora.exe", "x64", "gui", version, ["libstdc++-6.dll"]),
           "not a DLL that every Windows has")
    with open(unstripped, "rb") as f:
        test_build = f.read()
    messages = check_release.check_exe(test_build, "quillora.exe", "x64", "gui", version)
    expect("unstripped test build", messages, "debug sections .debug_")
    expect("unstripped test build", messages, "not stripped")

    with tempfile.TemporaryDirectory() as tmp:
        def spoilt(what, spoil, needle, tool="dist"):
            folder = os.path.join(tmp, what.replace(" ", "-"))
            shutil.copytree(good_dist, folder)
            spoil(folder)
            if tool == "dist":
                messages = check_release.check_dist(folder, version)
            else:
                messages = check_release.compare(good_dist, folder)
            expect(what, messages, needle)

        def zip_change(change):
            return lambda folder: rewrite_zip(os.path.join(folder, x64), change)

        def extra_field(info, data):
            if info.filename.endswith("LICENSE.txt"):
                info.extra = struct.pack("<HH", 0x5455, 5) + b"\x01" + struct.pack("<I", 1)
            return info, data

        def readme_without_bom(info, data):
            return info, data[3:] if info.filename.endswith("README.txt") else data

        def lf_license(info, data):
            return info, data.replace(b"\r\n", b"\n") if info.filename.endswith("LICENSE.txt") else data

        def flip_exe_byte(info, data):
            if info.filename.endswith("quillora.exe"):
                at = len(data) // 2
                data = data[:at] + bytes([data[at] ^ 1]) + data[at + 1:]
            return info, data

        def link_time(info, data):
            return info, with_timestamp(data) if info.filename.endswith("quillora.exe") else data

        def later_time(info, data):
            if info.filename.endswith("README.txt"):
                info.date_time = (2030, 1, 1, 0, 0, 0)
            return info, data

        def append_byte(name):
            def spoil(folder):
                with open(os.path.join(folder, name), "ab") as f:
                    f.write(b"\0")
            return spoil

        spoilt("extra field in the zip", zip_change(extra_field), "has extra fields")
        spoilt("README.txt without byte-order mark", zip_change(readme_without_bom), "byte-order mark")
        spoilt("LICENSE.txt with LF line ends", zip_change(lf_license), "LICENSE.txt does not end")
        spoilt("a zip that does not match SHA256SUMS", append_byte(x64), "sha256sum -c")
        spoilt("a stray file in dist", lambda f: open(os.path.join(f, "notes.txt"), "w").close(),
               "notes.txt")
        spoilt("compare: a changed byte in an executable", zip_change(flip_exe_byte),
               f"member {stem}/quillora.exe:", tool="compare")
        spoilt("compare: a link time in an executable", zip_change(link_time),
               "in the PE header's TimeDateStamp", tool="compare")
        spoilt("compare: another entry time", zip_change(later_time), "date_time", tool="compare")
        spoilt("compare: a changed SHA256SUMS", append_byte("SHA256SUMS"), "SHA256SUMS differs",
               tool="compare")

    # The command line reports a fault with exit code 1.
    with tempfile.TemporaryDirectory() as tmp:
        spoilt_exe = os.path.join(tmp, "quillora.exe")
        with open(spoilt_exe, "wb") as f:
            f.write(with_timestamp(good))
        run = subprocess.run([sys.executable, os.path.join(HERE, "check_release.py"), "exe",
                              spoilt_exe, "--arch", "x64", "--subsystem", "gui"],
                             capture_output=True, text=True)
        if run.returncode != 1 or "FAIL:" not in run.stdout:
            failures.append(f"check_release.py exe on a spoilt executable: exit {run.returncode}, "
                            f"output {run.stdout!r}")

    for f in failures:
        print("FAIL: " + f)
    print("release checks catch every spoilt case" if not failures else
          f"{len(failures)} spoilt case(s) not caught")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The built quillora-cli, run as users run it: exit codes, messages and output.

    cli_test.py <path to quillora-cli> [unittest options]

CSV and JSON Lines output is read back with Python's csv and json modules.
"""
import csv
import io
import json
import math
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

CLI = None


def run(*args, stdin=None, preexec=None, exe=None, cwd=None):
    return subprocess.run([exe or CLI, *args], capture_output=True, stdin=stdin,
                          preexec_fn=preexec, cwd=cwd, timeout=120)


def gbk_settings_file(path, prefixes, connectors, suffixes):
    """A config.ini as the window writes it: GBK, CR LF, line breaks escaped as ><br><."""
    def value(lines):
        return "><br><".join(lines)
    text = ("[编辑框]\r\n编辑框_前缀=%s\r\n编辑框_衔接=%s\r\n编辑框_后缀=%s\r\n编辑框_标题数=10\r\n"
            % (value(prefixes), value(connectors), value(suffixes)))
    with open(path, "wb") as f:
        f.write(text.encode("gbk"))


class Cli(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="quillora-cli-test-")

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def file(self, name, content):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(content.encode("utf-8") if isinstance(content, str) else content)
        return path

    def lines(self, result):
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        return result.stdout.decode("utf-8").splitlines()

    # ---- errors ----------------------------------------------------------------------------

    def test_usage_errors(self):
        out = os.path.join(self.dir, "out.txt")
        cases = [
            (["--bogus"], "--bogus"),
            (["-n", "-1"], "--count"),
            (["-n", "2147483648"], "--count"),
            (["-n", "12x"], "--count"),
            (["--count"], "--count"),
            (["--seed", "4294967296"], "--seed"),
            (["--seed", "seven"], "--seed"),
            (["--format", "xml"], "--format"),
            (["--encoding", "latin1"], "--encoding"),
            (["--input-encoding", "ucs2"], "--input-encoding"),
            (["--unique=3"], "unique"),
        ]
        for args, what in cases:
            with self.subTest(args=args):
                r = run("-o", out, *args)
                self.assertEqual(r.returncode, 2)
                message = r.stderr.decode().splitlines()
                self.assertEqual(len(message), 2, message)
                self.assertIn(what, message[0])
                self.assertIn("--help", message[1])
                self.assertEqual(r.stdout, b"")
                self.assertFalse(os.path.exists(out))

    def test_help_and_version(self):
        for args, want in [(["--help"], "--unique"), (["-h"], "--stats"), (["--version"], "quillora-cli ")]:
            with self.subTest(args=args):
                r = run(*args)
                self.assertEqual((r.returncode, r.stderr), (0, b""))
                self.assertIn(want, r.stdout.decode())

    def test_files_that_cannot_be_read(self):
        missing = os.path.join(self.dir, "missing.txt")
        cases = [
            (["--prefixes", missing], missing, "No such file"),
            (["--suffixes", self.dir], self.dir, "Is a directory"),
            (["--config", missing], missing, "No such file"),
        ]
        for args, name, reason in cases:
            with self.subTest(args=args):
                r = run(*args)
                self.assertEqual(r.returncode, 1)
                self.assertIn(name, r.stderr.decode())
                self.assertIn(reason, r.stderr.decode())
                self.assertEqual(r.stdout, b"")

    def test_output_that_cannot_be_written_leaves_no_half_file(self):
        target = self.file("out.txt", "old content\n")

        def small_files():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (100000, 100000))

        r = run("-n", "100000", "-o", target, preexec=small_files)
        self.assertEqual(r.returncode, 1)
        self.assertIn(target, r.stderr.decode())
        with open(target) as f:
            self.assertEqual(f.read(), "old content\n")
        self.assertEqual(os.listdir(self.dir), ["out.txt"])  # no temporary file left either
        r = run("-o", os.path.join(self.dir, "no-such-dir", "out.txt"))
        self.assertEqual(r.returncode, 1)
        self.assertIn("No such file", r.stderr.decode())
        with open("/dev/full", "wb") as full:
            r = subprocess.run([CLI, "-n", "100000"], stdout=full, stderr=subprocess.PIPE)
        self.assertEqual(r.returncode, 1)
        self.assertIn("No space left", r.stderr.decode())

    def test_interrupted_output_leaves_nothing(self):
        target = self.file("out.txt", "old content\n")
        for sig in (signal.SIGINT, signal.SIGTERM):
            p = subprocess.Popen([CLI, "-n", "2147483647", "-o", target],
                                 stderr=subprocess.PIPE)
            # Wait until the temporary file is being written, then interrupt.
            for _ in range(200):
                temps = [n for n in os.listdir(self.dir) if n != "out.txt"]
                if temps and os.path.getsize(os.path.join(self.dir, temps[0])) > 0:
                    break
                time.sleep(0.05)
            self.assertTrue(temps, "no temporary file appeared")
            p.send_signal(sig)
            self.assertEqual(p.wait(timeout=30), -sig)
            p.stderr.close()
            self.assertEqual(os.listdir(self.dir), ["out.txt"])
            with open(target) as f:
                self.assertEqual(f.read(), "old content\n")

    def test_reader_closing_early_ends_quietly(self):
        p = subprocess.Popen([CLI, "-n", "2147483647"], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
        for _ in range(3):
            p.stdout.readline()
        p.stdout.close()
        self.assertEqual(p.wait(timeout=30), 0)
        self.assertEqual(p.stderr.read(), b"")
        p.stderr.close()

    def test_gbk_output_of_what_gbk_cannot_hold(self):
        prefixes = self.file("p.txt", "好\n看😀这里\n")
        out = os.path.join(self.dir, "out.txt")
        r = run("--prefixes", prefixes, "--encoding", "gbk", "-o", out)
        self.assertEqual(r.returncode, 1)
        message = r.stderr.decode()
        self.assertIn("U+1F600", message)
        self.assertIn(prefixes + ", line 2", message)
        self.assertFalse(os.path.exists(out))
        # UTF-8 output keeps it whole.
        self.assertIn("看😀这里", "\n".join(self.lines(run("--prefixes", prefixes, "-n", "50",
                                                            "--seed", "1"))))

    # ---- lists -----------------------------------------------------------------------------

    def test_where_the_lists_come_from(self):
        p = self.file("p.txt", "\ufeffP1\r\nP2\rP3\n")
        c = self.file("c.txt", "连接".encode("gbk"))
        empty = self.file("empty.txt", "")
        config = os.path.join(self.dir, "settings.ini")
        gbk_settings_file(config, ["设置前缀"], ["设置衔接", "第二"], ["设置后缀"])

        def parts(*args):
            return [line.split(",") for line in self.lines(run(*args, "-n", "200", "--seed", "2"))]

        cases = [
            (["--prefixes", p, "--connectors", c, "--suffixes", empty],
             ({"P1", "P2", "P3"}, {"连接"}, {""})),
            (["--config", config], ({"设置前缀"}, {"设置衔接", "第二"}, {"设置后缀"})),
            (["--config", config, "--suffixes", p], ({"设置前缀"}, {"设置衔接", "第二"}, {"P1", "P2", "P3"})),
            (["--config", config, "--event", "事件"], ({"设置前缀"}, {"事件"}, {"设置后缀"})),
            (["--prefixes", c, "--connectors", p, "--suffixes", c, "--input-encoding", "gbk"],
             ({"连接"}, {"P1", "P2", "P3"}, {"连接"})),
        ]
        for args, want in cases:
            with self.subTest(args=args):
                got = parts(*args)
                for i in range(3):
                    self.assertEqual({row[i] for row in got}, want[i])

    def test_config_ini_beside_the_program_and_built_in_lists(self):
        exe = os.path.join(self.dir, "quillora-cli")
        shutil.copy(CLI, exe)
        built_in = set(self.lines(run("-n", "30", "--seed", "4", exe=exe)))
        self.assertEqual(len(built_in), 30)
        gbk_settings_file(os.path.join(self.dir, "config.ini"), ["甲"], ["乙"], ["丙", "丁"])
        self.assertEqual(set(self.lines(run("-n", "30", "--seed", "4", exe=exe))),
                         {"甲,乙,丙", "甲,乙,丁"})
        # An empty key keeps the built-in list, as in the window.
        gbk_settings_file(os.path.join(self.dir, "config.ini"), [""], ["乙"], ["丙"])
        prefixes = {line.split(",")[0] for line in self.lines(run("-n", "200", exe=exe))}
        self.assertGreater(len(prefixes), 50)

    # ---- output ----------------------------------------------------------------------------

    def test_formats_read_back_with_real_parsers(self):
        p = self.file("p.txt", 'say "hi"\nplain\n')
        c = self.file("c.txt", "a, b\n\\back\\slash\n")
        s = self.file("s.txt", "tab\there\n😀\n")
        common = ["--prefixes", p, "--connectors", c, "--suffixes", s, "-n", "40", "--seed", "9"]
        text = self.lines(run(*common))
        rows = list(csv.reader(io.StringIO(run(*common, "--format", "csv").stdout.decode(),
                                           newline="")))
        self.assertEqual(rows[0], ["prefix", "connector", "suffix"])
        self.assertEqual([",".join(r) for r in rows[1:]], text)
        objects = [json.loads(line) for line in self.lines(run(*common, "--format", "jsonl"))]
        self.assertEqual([o["headline"] for o in objects], text)
        for o in objects:
            self.assertEqual(o["headline"], ",".join([o["prefix"], o["connector"], o["suffix"]]))
        self.assertIn("a, b", {o["connector"] for o in objects})
        self.assertIn('say "hi"', {o["prefix"] for o in objects})

    def test_gbk_output_and_file_output(self):
        out = os.path.join(self.dir, "out.txt")
        r = run("-n", "100", "--seed", "5", "--encoding", "gbk", "-o", out)
        self.assertEqual((r.returncode, r.stdout, r.stderr), (0, b"", b""))
        with open(out, "rb") as f:
            gbk = f.read().decode("gbk")
        self.assertEqual(gbk, run("-n", "100", "--seed", "5").stdout.decode("utf-8"))
        self.assertEqual(os.listdir(self.dir), ["out.txt"])

    def test_seed_gives_the_same_bytes(self):
        a = run("-n", "1000", "--seed", "4294967295")
        b = run("-n", "1000", "--seed", "4294967295")
        self.assertEqual(a.stdout, b.stdout)
        self.assertNotEqual(a.stdout, run("-n", "1000", "--seed", "0").stdout)
        self.assertNotEqual(run("-n", "1000").stdout, run("-n", "1000").stdout)
        self.assertEqual(run("-n", "0").stdout, b"")
        self.assertEqual(len(self.lines(run())), 10)

    # ---- picking ---------------------------------------------------------------------------

    def test_each_line_equally_likely(self):
        # 21 prefixes, one of them twice (so it is twice as likely), one connector, one suffix.
        lines = ["p%d" % i for i in range(20)] + ["p0"]
        p = self.file("p.txt", "\n".join(lines))
        one = self.file("one.txt", "x")
        n = 210000
        counts = {}
        for line in self.lines(run("--prefixes", p, "--connectors", one, "--suffixes", one,
                                   "-n", str(n), "--seed", "77")):
            prefix = line.split(",")[0]
            counts[prefix] = counts.get(prefix, 0) + 1
        chi = sum((counts.get(x, 0) - n / 21 * lines.count(x)) ** 2 / (n / 21 * lines.count(x))
                  for x in set(lines))
        df = 19
        critical = df * (1 - 2 / (9 * df) + 3.0902 * math.sqrt(2 / (9 * df))) ** 3  # p = 0.001
        self.assertLess(chi, critical)

    def test_repeats_in_ten_thousand_are_near_uniform(self):
        headlines = self.lines(run("-n", "10000", "--seed", "31"))
        repeats = len(headlines) - len(set(headlines))
        self.assertTrue(50 <= repeats <= 140, repeats)  # uniform: about 92; the window: thousands

    def test_unique(self):
        p = self.file("p.txt", "a\na,b\na\n")
        c = self.file("c.txt", "b,c\nc\n")
        s = self.file("s.txt", "d\n")
        lists = ["--prefixes", p, "--connectors", c, "--suffixes", s]
        everything = {x + "," + y + ",d" for x in ["a", "a,b"] for y in ["b,c", "c"]}  # 3 texts
        for seed in ["1", "2"]:
            r = run(*lists, "--unique", "-n", "10", "--seed", seed)
            got = self.lines(r)
            self.assertEqual(sorted(got), sorted(everything))
            self.assertIn("only 3 distinct", r.stderr.decode())
        two = self.lines(run(*lists, "--unique", "-n", "2"))
        self.assertEqual(len(set(two)), 2)
        built_in = self.lines(run("--unique", "-n", "20000"))
        self.assertEqual(len(set(built_in)), 20000)
        a = run("--unique", "-n", "600000", "--seed", "8")
        self.assertEqual(a.returncode, 0)
        self.assertIn("542192", a.stderr.decode())
        self.assertEqual(len(set(a.stdout.splitlines())), 542192)
        self.assertEqual(a.stdout, run("--unique", "-n", "600000", "--seed", "8").stdout)

    def test_stats(self):
        p = self.file("p.txt", "a\n\na\nb\n")
        report = run("--stats", "--prefixes", p, "-n", "10000").stdout.decode()
        self.assertIn("prefixes (%s): 4 lines, 3 distinct phrases, 1 empty lines, 1 repeated lines"
                      % p, report)
        self.assertIn("distinct headlines: %d" % (3 * 112 * 47), report)
        built_in = run("--stats", "-n", "10000").stdout.decode()
        self.assertIn("distinct headlines: 542192", built_in)
        total = 103 * 112 * 47
        want = 10000 - total * (1 - (1 - 1 / total) ** 10000)  # uniform picking: about 92
        self.assertIn("batch of 10000 without --unique: %.2f" % want, built_in)


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    unittest.main()

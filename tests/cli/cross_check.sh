#!/usr/bin/env bash
# Checks the Windows build of quillora-cli under Wine, mostly against the Linux build.
#
#   cross_check.sh seed_across_builds|gbk_converters_agree|console_output|killed_output
#                  <linux bin dir> <windows bin dir>
#
# seed_across_builds: the same options with --seed give the same bytes on both, except that
# Windows ends lines with CR LF. gbk_converters_agree: iconv's CP936 and Windows' code page
# 936 make the same of every GBK character, both ways. console_output: on a console whose code
# page holds no Chinese, the Windows build still shows the Linux build's headlines.
# killed_output: a run killed while it writes -o FILE leaves neither FILE nor its temporary file.
set -euo pipefail

check=${1:?}
linux_bin=$(cd "${2:?}" && pwd)
windows_bin=$(cd "${3:?}" && pwd)
wine_run="$(cd "$(dirname "$0")/../e2e" && pwd)/wine-run.sh"

for f in "$linux_bin/quillora-cli" "$linux_bin/quillora_gbk_table" \
         "$windows_bin/quillora-cli.exe" "$windows_bin/quillora_gbk_table.exe"; do
  if [ ! -x "$f" ] && [ ! -f "$f" ]; then
    echo "cross_check: $f is missing (build the host and windows presets first)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

case "$check" in
  seed_across_builds)
    printf '\xef\xbb\xbf看这里\r\n一, 二\n"引号"\n\xf0\x9f\x98\x80 表情\n' >prefixes.txt
    printf '\xbd\xd2\xc3\xd8\r\n\xd5\xf0\xba\xb3\r\n' >connectors.txt   # GBK
    status=0
    n=0
    while IFS= read -r args; do
      n=$((n + 1))
      # shellcheck disable=SC2086
      "$linux_bin/quillora-cli" $args -o "linux$n.txt"
      # shellcheck disable=SC2086
      bash "$wine_run" "$windows_bin/quillora-cli.exe" $args -o "windows$n.txt" >"wine$n.log"
      if ! grep -q $'\r$' "windows$n.txt"; then
        echo "FAIL [$args]: the Windows output does not end its lines with CR LF"
        status=1
      fi
      if sed 's/\r$//' "windows$n.txt" | cmp -s - "linux$n.txt" && [ -s "linux$n.txt" ]; then
        echo "same: [$args] ($(wc -l <"linux$n.txt") lines)"
      else
        echo "FAIL [$args]: the builds differ"
        diff <(sed 's/\r$//' "windows$n.txt") "linux$n.txt" | head -5
        status=1
      fi
    done <<'CASES'
--seed 0 -n 5000
--seed 4294967295 -n 3000 --format jsonl
--seed 17 -n 2000 --unique
--seed 5 -n 1000 --encoding gbk --format csv
--seed 99 -n 500 --prefixes prefixes.txt --connectors connectors.txt
--seed 7 -n 300 --unique --prefixes prefixes.txt --event 突发事件
CASES
    exit "$status"
    ;;
  gbk_converters_agree)
    "$linux_bin/quillora_gbk_table" linux.txt
    bash "$wine_run" "$windows_bin/quillora_gbk_table.exe" windows.txt >wine.log
    # Windows gives GBK's user-defined areas (AAA1-AFFE, F8A1-FEFE, A140-A7A0 and a few more)
    # to Unicode's Private Use Area; iconv leaves them unmapped. Those rows may differ in that
    # one way; every other row must be the same.
    python3 - linux.txt windows.txt <<'PY'
import sys
linux = open(sys.argv[1]).read().splitlines()
windows = open(sys.argv[2]).read().splitlines()
if len(linux) != len(windows) or len(linux) < 80000:
    sys.exit("FAIL: tables of %d and %d rows" % (len(linux), len(windows)))
def private(cp):
    return 0xE000 <= cp <= 0xF8FF
same = user_defined = 0
bad = []
for a, b in zip(linux, windows):
    if a == b:
        same += 1
        continue
    la, wa = a.split(), b.split()
    if la[0].startswith("U+"):
        ok = la[1] == "-" and private(int(la[0][2:], 16))
    else:
        text = bytes.fromhex(wa[1]).decode("utf-8") if wa[1] != "-" else ""
        ok = la[1] == "-" and len(text) == 1 and private(ord(text)) and wa[2] == la[0]
    if ok:
        user_defined += 1
    else:
        bad.append((a, b))
both_ways = sum(1 for row in linux
                if len(row.split()[0]) == 4 and not row.startswith("U+") and row.split()[2] == row.split()[0])
print("rows: %d the same, %d user-defined GBK codes mapped to the Private Use Area on Windows only"
      % (same, user_defined))
print("double-byte GBK characters that convert both ways and back alike: %d" % both_ways)
for a, b in bad[:20]:
    print("FAIL linux [%s] windows [%s]" % (a, b))
sys.exit(1 if bad or both_ways < 21000 else 0)
PY
    ;;
  console_output)
    # Wine gives a program started from a terminal a console; under en_US.UTF-8 its code page
    # is 437, which holds no Chinese, so only text written as wide characters comes out right
    # (bytes written as they are would show as box-drawing garbage). `script` is the terminal.
    status=0
    for encoding in utf-8 gbk; do
      "$linux_bin/quillora-cli" --seed 3 -n 20 >linux.txt
      WINEPREFIX="$(dirname "$windows_bin")/wineprefix" WINEDEBUG=-all LC_ALL=en_US.UTF-8 \
        script -qec "wine '$windows_bin/quillora-cli.exe' --seed 3 -n 20 --encoding $encoding" \
        console.txt </dev/null >/dev/null
      if python3 - linux.txt console.txt <<'PY'
import re, sys
want = open(sys.argv[1], encoding="utf-8").read().splitlines()
seen = open(sys.argv[2], encoding="utf-8", errors="replace").read()
# Wine's console adds cursor escapes and blank lines between the ones written: compare the
# lines that carry text.
seen = re.sub(r"\x1b\[[?0-9;]*[A-Za-z]", "", seen).replace("\r", "").split("\n")
seen = [line for line in seen if line]
sys.exit(0 if want and any(seen[i:i + len(want)] == want for i in range(len(seen))) else 1)
PY
      then
        echo "same on the console: --encoding $encoding"
      else
        echo "FAIL --encoding $encoding: the console shows something else:"
        head -c 600 console.txt
        status=1
      fi
    done
    exit "$status"
    ;;
  killed_output)
    export WINEPREFIX="$(dirname "$windows_bin")/wineprefix" WINEDEBUG=-all
    echo "old" >kept.txt
    wine "$windows_bin/quillora-cli.exe" -n 2147483647 -o killed.txt >wine.log 2>&1 &
    temp=""
    for _ in $(seq 300); do
      temp=$(ls | grep '^killed\.txt\.tmp-' || true)
      [ -n "$temp" ] && [ "$(stat -c %s "$temp")" -gt 1000000 ] && break
      sleep 0.1
    done
    if [ -z "$temp" ]; then
      echo "FAIL: no temporary file appeared"
      exit 1
    fi
    pkill -KILL -f 'quillora-cli.exe -n 2147483647 -o killed.txt'
    wait || true
    # Wine removes the file when it sees the process's last handle go.
    for _ in $(seq 100); do
      [ "$(ls)" = "$(printf 'kept.txt\nwine.log')" ] && break
      sleep 0.1
    done
    if [ "$(ls)" != "$(printf 'kept.txt\nwine.log')" ]; then
      echo "FAIL: left behind after the kill:"
      ls -l
      exit 1
    fi
    echo "killed while writing $temp: nothing left"
    ;;
  *)
    echo "usage: cross_check.sh seed_across_builds|gbk_converters_agree|console_output|killed_output <linux bin> <windows bin>" >&2
    exit 2
    ;;
esac

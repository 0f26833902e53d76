#!/usr/bin/env bash
# Fails when a notification code or window message number is written as a bare number in the
# library, the gallery or their tests: handlers and senders use the names of tavex/Codes.h.
# Usage: codes_grep.sh [source root] (default: the repository holding this script).
set -u
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root" || exit 2
codes='(1|2|3|5|7|8|9|19|24|26|27|28|29|30|31|33)u?'
patterns=(
  "SendMessageW\(\s*[0-9]"                         # a control's notification
  "\bcode\s*[!=]=\s*${codes}\b"                    # a handler's test of the code
  "\bcode\s*=\s*${codes};"                          # a code chosen to send
  "\.code,\s*${codes}\)"                            # a test's expectation
  "\b(CountCode|LastCode|Count)\([^(),]+,\s*${codes}\)"
  "OnMessage\([^(),]+,\s*${codes}\s*,"             # a notification handed in by hand
  "notify id=[^ ]* code=[0-9]|\"code=[0-9]|\" code=[0-9]"  # the gallery's log lines
  "PostMessageW\(\s*(0x[0-9a-fA-F]+|[0-9]+)\b"   # a window message posted
  "\b(PostMessage|SendMessage)\([^(),]+,\s*(0x[0-9a-fA-F]+|[0-9]+)\b"
  "\b0x(442|444|676|69[aAbB]|72[123]|7[eE]6)\b"    # the library's and the program's messages
)
files=$(find tavex tools/tavex-gallery tests/tavex tests/gui \( -name '*.cpp' -o -name '*.h' \) \
          ! -path 'tavex/include/tavex/Codes.h' ! -path 'tavex/include/tavex/WinTypes.h' | sort)
[ -n "$files" ] || { echo "codes_grep: no sources under $root" >&2; exit 2; }
found=0
for p in "${patterns[@]}"; do
  # shellcheck disable=SC2086
  if grep -nE "$p" $files; then found=1; fi
done
if [ "$found" -ne 0 ]; then
  echo "codes_grep: bare code or message numbers above; use the names of tavex/Codes.h" >&2
  exit 1
fi
echo "codes_grep: no bare code or message number in $(echo "$files" | wc -l) files"

#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user and a packager rely on:
# the command, the program folder and its data, no build-tree paths, the icons, the desktop
# entry and metainfo (validators), the udev rule against the device table, and, with a display,
# that the installed command starts the program and the quit request ends it.
#   installed_tree.sh BUILD_DIR APP_ID PROGRAM_DIR
set -uo pipefail
build=$1 app_id=$2 program_dir=$3
for tool in desktop-file-validate appstreamcli readelf; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; echo "FAIL: install"; exit 1; }
program=$prefix/$program_dir

# The command is a link into the program folder, so the program finds its data beside itself.
[ -L "$prefix/bin/keywright" ] || fail "bin/keywright is not a link"
[ "$(readlink -f "$prefix/bin/keywright")" = "$(readlink -f "$program/keywright")" ] || fail "bin/keywright does not lead to the program folder"
[ -x "$program/keywright" ] || fail "no program in $program_dir"
for f in config.xml Keywright.ico language/1033.lan language/2052.lan db/lightlayer_v1.data \
         skins/theme1/main_bkg.png font/OpenSans-Regular.ttf; do
  [ -s "$program/$f" ] || fail "missing $program_dir/$f"
done
for layout in $(grep -o 'layout_file="[^"]*"' "$program/config.xml" | cut -d'"' -f2 | sort -u); do
  [ -s "$program/layouts/$layout.xml" ] || fail "config.xml names layouts/$layout.xml, which is not installed"
done
# Nothing of the test runs or the simulator is shipped.
extra=$(find "$program" -maxdepth 1 -type f \( -name 'test_*' -o -name 'keywright-*' -o -name 'libhidsim*' \))
[ -z "$extra" ] || fail "build-only files installed: $extra"

# The library is found beside the program and nothing points back into the build tree.
runpath=$(readelf -d "$program/keywright" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
[ "$runpath" = '$ORIGIN' ] || fail "program run path is '$runpath', not \$ORIGIN"
[ -e "$program/libtavex.so.1" ] || fail "libtavex.so.1 is not in the program folder"
# ldd runs once and is read from a variable: piped into `grep -q`, which leaves at the first
# match, it could be killed by SIGPIPE while still writing, and pipefail turned that into a failure
# on a busy machine.
libraries=$(ldd "$program/keywright" 2>&1) || fail "ldd: $libraries"
if grep -q 'not found' <<<"$libraries"; then fail "unresolved libraries: $(grep 'not found' <<<"$libraries")"; fi
grep -qF "libtavex.so.1 => $(readlink -f "$program")/libtavex.so.1 " <<<"$libraries" || fail "libtavex is not taken from the program folder: $(grep libtavex <<<"$libraries")"
if grep -rlI --exclude='*.ttf' "$(readlink -f "$build")" "$prefix" >/dev/null 2>&1; then
  fail "build-tree path inside: $(grep -rlI "$(readlink -f "$build")" "$prefix" | head -3)"
fi

# Icons: every size of the generated icon, each a PNG of that size, under the entry's icon name.
icon=$(sed -n 's/^Icon=//p' "$prefix/share/applications/$app_id.desktop")
[ "$icon" = "$app_id" ] || fail "desktop entry icon '$icon'"
for n in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${n}x$n/apps/$icon.png
  size=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "none")' "$png" 2>/dev/null)
  [ "$size" = "${n}x$n" ] || fail "icon $n: $png is '$size'"
done

desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
exec_cmd=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app_id.desktop")
[ -e "$prefix/bin/${exec_cmd%% *}" ] || fail "desktop Exec '$exec_cmd' is not an installed command"
gzip -t "$prefix/share/man/man1/keywright.1.gz" || fail "man page"

# The udev rule covers exactly the device table's vid/pid pairs, each tagged for the seat's user.
rule=$(find "$prefix" -name '70-keywright.rules')
want=$(grep -o 'vid="[0-9a-fA-F]*" pid="[0-9a-fA-F]*"' "$program/config.xml" | sed 's/vid="\(.*\)" pid="\(.*\)"/\1:\2/' | tr 'A-F' 'a-f' | sort -u)
have=$(grep -v '^#' "$rule" | grep 'TAG+="uaccess"' | sed -n 's/.*ATTRS{idVendor}=="\([^"]*\)".*ATTRS{idProduct}=="\([^"]*\)".*/\1:\2/p' | sort -u)
[ -n "$want" ] && [ "$want" = "$have" ] || fail "udev rule ids [$have] differ from the device table [$want]"

# The installed command starts the program with its own data; the quit request ends it with 0.
if [ -n "${DISPLAY:-}" ] && [ -x "$build/bin/keywright-request" ]; then
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
  "$prefix/bin/keywright" >"$work/run.log" 2>&1 &
  pid=$!
  found=1
  for _ in $(seq 1 100); do
    "$build/bin/keywright-request" 0 >/dev/null 2>&1 && { found=0; break; }
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ $found -eq 0 ] || fail "the installed program showed no window: $(cat "$work/run.log")"
  "$build/bin/keywright-request" 610 >/dev/null 2>&1
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fail "the installed program did not quit"; fi
  wait "$pid"; rc=$?
  [ $rc -eq 0 ] || fail "the installed program ended with $rc: $(cat "$work/run.log")"
else
  echo "note: no display, the installed program was not started"
fi

[ $failures -eq 0 ] && echo "installed tree: all checks passed"
exit $((failures > 0))

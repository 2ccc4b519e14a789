#!/usr/bin/env bash
# The Windows installer under Wine, used as an IT department would: a silent install
# (msiexec /i /qn) into Program Files\Marlinq with a Start-menu entry and an entry in the
# installed-programs list; Marlinq.exe started from Program Files against the Linux simulator,
# Get, closed, with its Config.xml and AtLog.ini in %LOCALAPPDATA%\Marlinq; a silent uninstall
# through the installed-programs entry (msiexec /x {product} /qn) that leaves no program file
# behind and keeps the user's data. Then the portable zip: unpacked into a folder of the user's
# own, marlinq-cli.exe keeps its files beside itself.
#
#   tests/install/windows_installer.sh MSI ZIP DTUSIM DRIVE_WINDOW_EXE
#
# DTUSIM is the Linux simulator (build/bin/dtusim), DRIVE_WINDOW_EXE the window driver of the
# Windows tests (build-win/bin/drive_window.exe). Uses a fresh Wine prefix of its own on a virtual
# display of its own unless DISPLAY is set; removes both at the end.
set -euo pipefail
# shellcheck source=../../scripts/wine-prefix.sh
source "$(dirname "$0")/../../scripts/wine-prefix.sh"

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$@"
fi
[[ $# -eq 4 ]] || { sed -n '10p' "$0" >&2; exit 2; }
msi=$(realpath "$1") zip=$(realpath "$2") dtusim=$(realpath "$3") drive=$(realpath "$4")
com=201
work=$(mktemp -d)
export WINEDEBUG=-all WINEPREFIX="$work/prefix" WINEDLLOVERRIDES="mscoree,mshtml="
sim=""
app=""
cleanup() {
  [[ -n "$app" ]] && kill "$app" 2>/dev/null || true
  [[ -n "$sim" ]] && kill "$sim" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }
trap 'echo "FAIL: line $LINENO ended with $?" >&2' ERR

# A server of the prefix's own for the whole run, with its diagnostics kept out of the output.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1 || fail "wineserver did not start"
make_wine_prefix "$WINEPREFIX" || fail "wineboot made no Wine prefix in $WINEPREFIX"
drive_c="$WINEPREFIX/drive_c"
programs="$drive_c/Program Files/Marlinq"
profile=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
local_app="$profile/AppData/Local"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

step "silent install: msiexec /i ${msi##*/} /qn"
wine msiexec /i "$msi" /qn || fail "msiexec /i exited with $?"
for f in Marlinq.exe marlinq-cli.exe Tarnwick.dll Default.xml; do
  [[ -f "$programs/$f" ]] || fail "no $f in Program Files\\Marlinq"
done
ls -l "$programs"
shortcut=$(find "$drive_c" -iname 'Marlinq.lnk' -ipath '*Start Menu*' | head -n 1)
[[ -n "$shortcut" ]] || fail "no Start-menu entry"
echo "Start-menu entry: ${shortcut#"$drive_c/"}"
product=$(wine reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' | awk '
  /^HKEY/ { key = $0 } /DisplayName/ && /Marlinq/ { sub(/.*\\/, "", key); print key; exit }')
[[ "$product" =~ ^\{[0-9A-F-]+\}$ ]] || fail "no Marlinq entry in the installed-programs list"
uninstall=$(wine reg query "$uninstall_key\\$product" /v UninstallString 2>/dev/null | tr -d '\r' |
  sed -nE 's/.*REG_(EXPAND_)?SZ[[:space:]]+//p')
echo "installed-programs entry $product: $uninstall"

step "Marlinq.exe from Program Files against the simulator"
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" "$dtusim" --com "$com" --quiet >"$work/dtusim.out" 2>&1 </dev/null &
sim=$!
for _ in $(seq 100); do grep -q '^dtusim: COM' "$work/dtusim.out" && break; sleep 0.1; done
pty=$(sed -nE 's/^dtusim: COM[0-9]+ on (\/dev\/pts\/[0-9]+).*/\1/p' "$work/dtusim.out" | head -n 1)
[[ -n "$pty" ]] || fail "the simulator did not start"
ln -sfn "$pty" "$WINEPREFIX/dosdevices/com$com"
mkdir -p "$local_app/marlinq/devices"
printf 'path=Z:%s\ncom=%s\nfriendly=Simulated DTU AT Port (COM%s)\nhwid=USB\\VID_1E0E&PID_9001&MI_00\n' \
  "${pty//\//\\}" "$com" "$com" >"$local_app/marlinq/devices/install-check.device"
# As the Start-menu entry starts it: in its own folder (which it leaves for the data folder).
(cd "$programs" && exec wine Marlinq.exe) >/dev/null 2>&1 &
app=$!
wine "$drive" wait-window 60 || fail "no main window"
wine "$drive" wait-log "Equipment ready [AT:COM$com] for operation!" 60 || fail "no readiness line"
wine "$drive" wait-enabled 1033 30 || fail "Get stays disabled"
wine "$drive" click 1033
wine "$drive" wait-log "Get extended params finished!|Getting user name and password failed!" 60 ||
  fail "Get did not finish"
[[ "$(wine "$drive" text 0 1045 | tr -d '\r')" == "203.0.113.10" ]] || fail "Get did not fill the TCP/UDP page"
wine "$drive" close
for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "Marlinq.exe did not end after its window closed"
app=""
kill "$sim" 2>/dev/null || true
sim=""
rm -f "$WINEPREFIX/dosdevices/com$com" "$local_app/marlinq/devices/install-check.device"

step "its files are in %LOCALAPPDATA%\\Marlinq"
data=$(find "$local_app" -mindepth 1 -maxdepth 1 -iname marlinq -type d | head -n 1)
[[ -n "$data" && -s "$data/Config.xml" ]] || fail "no Config.xml in %LOCALAPPDATA%\\Marlinq"
grep -q '203.0.113.10' "$data/Config.xml" || fail "Config.xml lacks the server address"
[[ -s "$data/AtLog.ini" ]] || fail "no AtLog.ini in %LOCALAPPDATA%\\Marlinq"
[[ -s "$data/CompoundFile.cmp" ]] || fail "the save's scratch container is not in the data folder"
[[ -z "$(find "$programs" -iname Config.xml -o -iname AtLog.ini -o -iname CompoundFile.cmp)" ]] ||
  fail "files written into Program Files"
echo "${data#"$drive_c/"}: $(ls "$data" | tr '\n' ' ')"

step "silent uninstall through the installed-programs entry: msiexec /x $product /qn"
wine msiexec /x "$product" /qn || fail "msiexec /x exited with $?"
[[ ! -e "$programs" ]] || fail "left in Program Files\\Marlinq: $(ls -A "$programs" | tr '\n' ' ')"
[[ -z "$(find "$drive_c" -iname 'Marlinq.lnk')" ]] || fail "the Start-menu entry is left"
wine reg query "$uninstall_key\\$product" >/dev/null 2>&1 && fail "the installed-programs entry is left"
[[ -s "$data/Config.xml" && -s "$data/AtLog.ini" ]] || fail "the uninstall took the user's data"
echo "program files gone; user's data kept"

step "the portable zip keeps its files beside itself"
mkdir -p "$work/portable"
(cd "$work/portable" && cmake -E tar xf "$zip")
for f in Marlinq.exe marlinq-cli.exe Tarnwick.dll Default.xml; do
  [[ -f "$work/portable/Marlinq/$f" ]] || fail "the zip lacks Marlinq/$f"
done
version=$(wine "$work/portable/Marlinq/marlinq-cli.exe" --version | tr -d '\r')
echo "$version"
grep -qiE '^Files: Z:.*\\portable\\Marlinq\\$' <<<"$version" || fail "the portable copy does not keep its files beside itself"
echo "PASS"

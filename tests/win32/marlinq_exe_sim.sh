#!/usr/bin/env bash
# Marlinq.exe under Wine against the Linux module simulator, driven through its real windows:
# the readiness line in the log pane, Get fills the TCP/UDP page, Download sends its requests (as
# the simulator prints them), closing saves Config.xml and a second start loads it.
#
#   tests/win32/marlinq_exe_sim.sh DTUSIM MARLINQ_EXE DRIVE_WINDOW_EXE [SCREENSHOT_DIR]
#
# DTUSIM is the Linux simulator (build/bin/dtusim), MARLINQ_EXE and DRIVE_WINDOW_EXE come from the
# Windows build (build-win/bin). Runs on a virtual display of its own (xvfb-run) unless DISPLAY is
# set; uses a fresh Wine prefix of its own (so it can run beside other Wine tests), or the prefix
# named by MARLINQ_EXE_SIM_PREFIX, whose Wine server it leaves running. With SCREENSHOT_DIR,
# writes win32-main.png (the main window) and win32-mqtt.png (the MQTT page) there.
set -euo pipefail
# shellcheck source=../../scripts/wine-prefix.sh
source "$(dirname "$0")/../../scripts/wine-prefix.sh"

if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s '-screen 0 1280x800x24' "$0" "$@"
fi
[[ $# -ge 3 ]] || { sed -n '6p' "$0" >&2; exit 2; }
dtusim=$(realpath "$1") exe=$(realpath "$2") drive=$(realpath "$3") shots=${4:-}
com=201
work=$(mktemp -d)
export WINEDEBUG=-all WINEPREFIX=${MARLINQ_EXE_SIM_PREFIX:-$work/prefix}
sim=""
app=""
cleanup() {
  [[ -n "$app" ]] && kill "$app" 2>/dev/null || true
  [[ -n "$sim" ]] && kill "$sim" 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com$com" "${devfile:-/nonexistent}"
  [[ -n "${MARLINQ_EXE_SIM_PREFIX:-}" ]] || wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; sed 's/^/  dtusim: /' "$work/dtusim.out" >&2 || true; exit 1; }
step() { echo "-- $*"; }
trap 'echo "FAIL: line $LINENO ended with $?" >&2' ERR
drive() { wine "$drive" "$@"; }

make_wine_prefix "$WINEPREFIX" || fail "wineboot made no Wine prefix in $WINEPREFIX"

# The simulator on its pseudo-terminal, announced to nothing on Linux; COM201 of the prefix is
# linked to its terminal and a virtual device file tells Windows discovery about the AT port.
mkdir -p "$work/runtime" "$work/app" && chmod 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" "$dtusim" --com "$com" >"$work/dtusim.out" 2>&1 </dev/null &
sim=$!
for _ in $(seq 100); do grep -q '^dtusim: COM' "$work/dtusim.out" && break; sleep 0.1; done
pty=$(sed -nE 's/^dtusim: COM[0-9]+ on (\/dev\/pts\/[0-9]+).*/\1/p' "$work/dtusim.out" | head -n 1)
[[ -n "$pty" ]] || fail "the simulator did not start"
ln -sfn "$pty" "$WINEPREFIX/dosdevices/com$com"
profile=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
mkdir -p "$profile/AppData/Local/marlinq/devices"
devfile="$profile/AppData/Local/marlinq/devices/marlinq-exe-sim.device"
printf 'path=Z:%s\ncom=%s\nfriendly=Simulated DTU AT Port (COM%s)\nhwid=USB\\VID_1E0E&PID_9001&MI_00\n' \
  "${pty//\//\\}" "$com" "$com" >"$devfile"
cp "$exe" "$work/app/Marlinq.exe"

start_app() {
  (cd "$work/app" && exec wine Marlinq.exe) >/dev/null 2>&1 &
  app=$!
  drive wait-window 60 || fail "no main window"
}
stop_app() {
  drive close
  for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "the program did not end after its window closed"
  wait "$app" || true
  app=""
}
shot() { [[ -z "$shots" ]] || { mkdir -p "$shots"; xwd -root -silent | convert xwd:- "$shots/$1"; echo "wrote $shots/$1"; }; }

step "start: four tabs, the readiness line"
start_app
[[ "$(drive tabs | tr -d '\r')" == "4 page page page page" ]] || fail "tabs: $(drive tabs)"
drive wait-log "Equipment ready [AT:COM$com] for operation!" 60 || fail "no readiness line"
drive wait-enabled 1033 30 || fail "Get stays disabled"
shot win32-main.png

step "Get fills the TCP/UDP page"
drive click 1033
# The flow ends with the extended parameters, whatever their outcome.
drive wait-log "Get extended params finished!|Getting user name and password failed!" 60 || fail "Get did not finish"
addr=$(drive text 0 1045 | tr -d '\r')
port=$(drive text 0 1015 | tr -d '\r')
[[ "$addr" == "203.0.113.10" && "$port" == "5000" ]] || fail "TCP/UDP page after Get: '$addr' '$port'"
echo "server 1: $addr:$port"
drive select-tab 3
sleep 2
shot win32-mqtt.png
drive select-tab 0

step "Download sends its requests"
drive click 1034
drive wait-log "Download extended params finished!|Set user name and password failed!" 90 ||
  fail "Download did not finish"
for request in 'AT+DTUMODE=' 'AT+DTUCFG=115200,203.0.113.10,5000,' 'AT+CNMP='; do
  grep -qF "$request" "$work/dtusim.out" || fail "the simulator saw no $request"
done
grep -E 'AT\+(DTUMODE|DTUCFG|CNMP)=' "$work/dtusim.out" | head -n 3 | sed 's/^/  simulator: /'

step "closing saves Config.xml; a second start loads it"
stop_app
[[ -s "$work/app/Config.xml" ]] || fail "no Config.xml beside the program"
grep -q '203.0.113.10' "$work/app/Config.xml" || fail "Config.xml lacks the server address"
[[ -s "$work/app/AtLog.ini" ]] || fail "no AtLog.ini beside the program"
start_app
again=$(drive text 0 1045 | tr -d '\r')
[[ "$again" == "203.0.113.10" ]] || fail "second start shows '$again'"
stop_app
echo "PASS"

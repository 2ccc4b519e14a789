#!/usr/bin/env bash
# marlinq-cli.exe under Wine against the Linux simulator, through a COM port that Wine maps onto the
# simulator's pseudo-terminal (scripts/wine-sim):
#   - `send "AT+CSQ"` finds the module by the virtual device file, and after the scanner's version
#     read the simulator receives exactly "AT+CSQ" CR LF; the answer is printed;
#   - `get` reads the module: its requests reach the simulator and the parameters are printed;
#   - "AtLog.ini" is written beside the .exe, each line ending in CR CR LF (text mode).
#
#   tests/win32/cli_under_wine.sh WINDOWS_BUILD_DIR DTUSIM [COM]
#
# WINDOWS_BUILD_DIR holds bin/marlinq-cli.exe; DTUSIM is the Linux simulator (build/bin/dtusim).
# The Wine prefix is $MARLINQ_WINE_PREFIX, else WINDOWS_BUILD_DIR/wineprefix-sim (created when
# missing). Prints every step and what it saw; exits 0 when every check holds.
set -uo pipefail

[[ $# -ge 2 ]] || {
  echo "usage: $0 WINDOWS_BUILD_DIR DTUSIM [COM]" >&2
  exit 2
}
win_build=$(cd "$1" && pwd)
dtusim=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
com=${3:-201}
here=$(cd "$(dirname "$0")" && pwd)
wine_sim="$here/../../scripts/wine-sim"
cli_exe="$win_build/bin/marlinq-cli.exe"
export WINEPREFIX="${MARLINQ_WINE_PREFIX:-$win_build/wineprefix-sim}"
export WINEDEBUG=-all

[[ -f "$cli_exe" ]] || {
  echo "FAIL: no $cli_exe" >&2
  exit 1
}

work=$(mktemp -d)
prog="$work/Marlinq Tool" # the program folder, with a blank in its name
mkdir -p "$prog"
cp "$cli_exe" "$prog/"

failures=0
check() { # DESCRIPTION COMMAND...
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}

cleanup() {
  "$wine_sim" stop "$WINEPREFIX" "$com" >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== scripts/wine-sim start"
started=$("$wine_sim" start "$dtusim" "$WINEPREFIX" "$com") || {
  echo "FAIL: wine-sim could not start the simulator"
  exit 1
}
echo "$started"
requests=$(sed -n 's/^request_log=//p' <<<"$started")

cli() { # OUTPUT_NAME ARGS...: runs marlinq-cli.exe in its folder, standard output and error apart
  local name="$1"
  shift
  (cd "$prog" && timeout 180 wine ./marlinq-cli.exe "$@" >"$work/$name.out" 2>"$work/$name.err")
  local rc=$?
  tr -d '\r' <"$work/$name.out" >"$work/$name.txt"
  return $rc
}

echo "== marlinq-cli.exe send \"AT+CSQ\""
cli send send "AT+CSQ"
send_rc=$?
sed 's/^/  | /' "$work/send.txt"
[[ -s "$work/send.err" ]] && sed 's/^/  stderr| /' "$work/send.err"
check "send exits 0 (it exited $send_rc)" test "$send_rc" -eq 0
check "send prints the request, then the answer" \
  grep -Pzq '(^|\n)AT\+CSQ\n(\n)*\+CSQ: [0-9]+,[0-9]+\n(\n)*OK\n' "$work/send.txt"
echo "  requests received: $(tr '\n' ' ' <"$requests")"
# The console waits for the scanner's readiness, whose version read comes first; then the request
# typed, exactly as sent.
version_read='AT+GMR\r\n AT+CSUB\r\n AT+VER\r\n AT+CIMI\r\n AT+DTUMODE?\r\n'
check "the simulator received the version read, then exactly AT+CSQ CR LF" \
  test "$(tr '\n' ' ' <"$requests" | sed 's/ $//')" = "$version_read AT+CSQ\r\n"

echo "== AtLog.ini beside the .exe (od -c from the line of AT+CSQ on)"
atlog="$prog/AtLog.ini"
check "AtLog.ini exists beside marlinq-cli.exe" test -f "$atlog"
if [[ -f "$atlog" ]]; then
  at=$(grep -abo 'Send: AT+CSQ' "$atlog" | head -n 1 | cut -d: -f1)
  # The line starts with "MM/DD/YYYY HH:MM:SS " (20 bytes) before its label.
  [[ -n "$at" ]] && tail -c +$((at - 19)) "$atlog" | head -c 96 | od -c | sed 's/^/  /'
  # Request "AT+CSQ" CR LF plus the line's own CR LF, each LF stored as CR LF in text mode.
  check "the Send line is dated and ends AT+CSQ CR CR LF CR CR LF" \
    grep -Pzq '\d\d/\d\d/\d{4} \d\d:\d\d:\d\d Send: AT\+CSQ\r\r\n\r\r\n' "$atlog"
  check "the Recv line ends in CR CR LF and holds the answer" \
    grep -Pzq '\d\d/\d\d/\d{4} \d\d:\d\d:\d\d Recv: \r\r\n\+CSQ: [0-9]+,[0-9]+\r\r\n\r\r\nOK\r\r\n\r\r\n' "$atlog"
  check "every LF in the file follows CR CR" bash -c '! grep -Pzq "(?<!\r\r)\n" "$1"' _ "$atlog"
fi

echo "== marlinq-cli.exe get"
before=$(wc -l <"$requests")
cli get get
get_rc=$?
sed 's/^/  | /' "$work/get.txt" | head -n 60
[[ -s "$work/get.err" ]] && sed 's/^/  stderr| /' "$work/get.err"
check "get exits 0 (it exited $get_rc)" test "$get_rc" -eq 0
echo "  requests received: $(tail -n +$((before + 1)) "$requests" | tr '\n' ' ')"
check "get announces the module on COM$com" grep -qx "Equipment ready \[AT:COM$com\] for operation!" "$work/get.txt"
check "get reads the parameters" grep -qx "Start reading parameters..." "$work/get.txt"
check "get prints the baud rate and the firmware version read" \
  bash -c 'grep -qx "main.BaudRate=115200" "$1" && grep -q "^main.FirmwareVersion=..*" "$1"' _ "$work/get.txt"
# The version read of the scanner, then the Get flow: its versions, mode, DTUCFG and the extended
# network queries, each request exactly as sent.
expected_get='AT+GMR\r\n AT+CSUB\r\n AT+VER\r\n AT+CIMI\r\n AT+DTUMODE?\r\n AT+GMR\r\n AT+CSUB\r\n AT+VER\r\n AT+CIMI\r\n AT+DTUMODE?\r\n AT+DTUCFG?\r\n AT+CNMP?\r\n AT+CGDCONT?\r\n AT+CGAUTH?\r\n'
check "the simulator received the requests of the version read and of Get, in order" \
  test "$(tail -n +$((before + 1)) "$requests" | tr '\n' ' ' | sed 's/ $//')" = "$expected_get"
check "AtLog.ini holds a Send line for every request" \
  test "$(grep -c 'Send: ' "$atlog")" -eq "$(wc -l <"$requests")"

if [[ $failures -eq 0 ]]; then
  echo "PASS: marlinq-cli.exe under Wine against dtusim"
  exit 0
fi
echo "FAILED: $failures check(s)"
exit 1

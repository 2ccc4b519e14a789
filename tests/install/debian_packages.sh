#!/usr/bin/env bash
# Installs the Debian packages as a user would (apt-get install ./marlinq_*.deb), then from the
# installed programs only: the README's main job (Get, Download one changed parameter, Get again)
# against the installed simulator, with AtLog.ini (and the Config.xml that `run` saves) landing in the user's data
# folder; a small C program built against the installed Tarnwick with pkg-config; and the removal,
# which takes every installed file and leaves the user's data.
#
#   tests/install/debian_packages.sh PACKAGE_DIR        (scripts/package writes build/packages)
#
# Needs root (it installs packages). Refuses to run when marlinq or libtarnwick is installed
# already, so that it never removes an installation it did not make.
set -euo pipefail
[[ $# -eq 1 ]] || { sed -n '9p' "$0" >&2; exit 2; }
dir=$(realpath "$1")
debs=("$dir"/marlinq_*.deb "$dir"/libtarnwick_*.deb)
for f in "${debs[@]}"; do [[ -f "$f" ]] || { echo "FAIL: no package $f" >&2; exit 1; }; done
for p in marlinq libtarnwick; do
  if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    echo "FAIL: $p is installed already; this check installs and removes it itself" >&2
    exit 1
  fi
done

work=$(mktemp -d)
chmod 755 "$work"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset XDG_DATA_HOME
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
data="$HOME/.local/share/marlinq"
sim=""
installed=0
cleanup() {
  [[ -n "$sim" ]] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null || true
  if [[ $installed -eq 1 ]]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq marlinq libtarnwick >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

step "apt-get install ${debs[*]##*/}"
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${debs[@]}" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get install"; }
for f in /usr/bin/marlinq /usr/bin/marlinq-cli /usr/bin/dtusim; do
  [[ "$(readlink -f "$f")" == "/usr/lib/marlinq/${f##*/}" ]] || fail "$f does not lead to /usr/lib/marlinq"
done
[[ -f /usr/lib/marlinq/Default.xml ]] || fail "no Default.xml beside the programs"
[[ "$(readlink -f /usr/lib/marlinq/adb/adb)" == "$(readlink -f /usr/bin/adb)" ]] || fail "adb/adb is not Debian's adb"
for page in marlinq marlinq-cli dtusim; do
  zcat "/usr/share/man/man1/$page.1.gz" | sed 's/\\-/-/g' | grep -q "^usage: $page" || fail "man page of $page lacks its usage"
done
desktop-file-validate /usr/share/applications/marlinq.desktop || fail "desktop entry"
[[ -f /usr/share/icons/hicolor/32x32/apps/marlinq.png ]] || fail "no menu icon"
echo "installed: $(dpkg-query -W -f='${Package} ${Version}, ' marlinq libtarnwick)"

step "the installed marlinq-cli names the user's data folder"
version=$(/usr/bin/marlinq-cli --version)
echo "$version"
grep -qxF "Files: $data/" <<<"$version" || fail "--version does not name $data/"
[[ ! -e "$data" ]] || fail "--version created the data folder"
# Another user, whose home is a folder of the test's own, gets a folder of its own.
mkdir -p "$work/other" && chown nobody "$work/other"
other=$(runuser -u nobody -- env HOME="$work/other" /usr/bin/marlinq-cli --version)
grep -qxF "Files: $work/other/.local/share/marlinq/" <<<"$other" || fail "nobody's folder: $other"

step "the main job against the installed simulator"
/usr/bin/dtusim --quiet >"$work/dtusim.out" 2>&1 &
sim=$!
for _ in $(seq 100); do grep -q '^dtusim: COM' "$work/dtusim.out" && break; sleep 0.1; done
grep '^dtusim: COM' "$work/dtusim.out" || fail "the simulator did not start"
cd "$work"
/usr/bin/marlinq-cli get >"$work/get1.out" || fail "get: $(tail -n 3 "$work/get1.out")"
grep -q '^tcp.Port=' "$work/get1.out" || fail "get printed no server port"
/usr/bin/marlinq-cli download --set tcp.Port=6001 || fail "download"
/usr/bin/marlinq-cli get | grep -x 'tcp.Port=6001' || fail "the module does not report the new port"
[[ ! -e "$data/Config.xml" ]] || fail "get or download wrote Config.xml (only run saves it)"
/usr/bin/marlinq-cli run </dev/null >/dev/null || fail "run"

step "the files landed in the user's data folder"
[[ -s "$data/Config.xml" ]] || fail "no $data/Config.xml after run"
[[ -s "$data/AtLog.ini" ]] || fail "no $data/AtLog.ini"
[[ "$(stat -c %a "$data")" == 700 ]] || fail "$data has mode $(stat -c %a "$data")"
[[ -z "$(find /usr/lib/marlinq -name Config.xml -o -name AtLog.ini)" ]] || fail "files beside the installed program"
ls -l "$data"
kill "$sim" && wait "$sim" 2>/dev/null || true
sim=""

step "a C program built against the installed Tarnwick with pkg-config"
cat >"$work/probe.c" <<'C'
#include <stdio.h>
#include <tarnwick.h>

int main(void) {
    /* Without the module's disk the lookup fails and closing is still harmless. */
    printf("IsEMMCUDiskExist: %d, CloseUsbEMMCDevice: %d\n", IsEMMCUDiskExist(), CloseUsbEMMCDevice());
    return CloseUsbEMMCDevice() == 0 ? 0 : 1;
}
C
echo "pkg-config --cflags --libs tarnwick: $(pkg-config --cflags --libs tarnwick)"
# shellcheck disable=SC2046
cc -Wall -Werror -o "$work/probe" "$work/probe.c" $(pkg-config --cflags --libs tarnwick) || fail "cc"
loaded=$(ldd "$work/probe" | sed -nE 's/.*libtarnwick\.so\.0 => ([^ ]+).*/\1/p')
echo "libtarnwick.so.0 => $loaded"
[[ -n "$loaded" && "$(readlink -f "$loaded")" == "$(dpkg -L libtarnwick | grep -E 'libtarnwick\.so\.[0-9]+\.[0-9.]+$')" ]] ||
  fail "not linked to the installed library"
"$work/probe" || fail "the program failed"

step "apt-get purge (the removal, with whatever dpkg keeps for a purge)"
cd /
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq marlinq libtarnwick >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get purge"; }
installed=0
for f in /usr/lib/marlinq /usr/bin/marlinq /usr/bin/marlinq-cli /usr/bin/dtusim /usr/include/tarnwick.h \
         /usr/share/applications/marlinq.desktop; do
  [[ ! -e "$f" && ! -L "$f" ]] || fail "$f is left after the removal"
done
pkg-config --exists tarnwick && fail "tarnwick.pc is left"
dpkg-query -W -f='${Package} ${Status}\n' marlinq libtarnwick 2>/dev/null | grep -E ' (installed|config-files)$' &&
  fail "dpkg still holds the packages"
[[ -s "$data/Config.xml" ]] || fail "the removal took the user's Config.xml"
echo "user's data kept: $(ls "$data" | tr '\n' ' ')"
echo "PASS"

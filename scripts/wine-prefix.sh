# Sourced by the scripts that run Windows programs under Wine: makes a Wine prefix once.
#
# make_wine_prefix PREFIX: runs wineboot to create PREFIX unless it is there already. wineboot may
# end with a failure although it made the prefix (seen once: exit 53, nothing printed), so the
# prefix is what counts: it says so on standard error and goes on. Returns 1 when there is no
# prefix afterwards; the caller names the failure.
make_wine_prefix() {
  local prefix="$1" status=0
  if [[ -d "$prefix/drive_c/users" ]]; then
    return 0
  fi
  WINEPREFIX="$prefix" WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || status=$?
  if [[ ! -d "$prefix/drive_c/users" ]]; then
    return 1
  fi
  if ((status != 0)); then
    echo "-- wineboot --init ended with $status, but made the prefix" >&2
  fi
}

#!/usr/bin/env bash
# Runs a Windows test program of the cross build under Wine, in the test run's own prefix.
# Qt Test writes its log to a file: a console program's output piped out of Wine can come back
# empty. Paths in PMKEST_* variables are handed over as Windows sees them.
set -uo pipefail
program="$1"
shift
: "${PMKEST_WINE_PREFIX:?}"
: "${PMKEST_MINGW_QT:?}"
export WINEPREFIX="$PMKEST_WINE_PREFIX" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
wine_cmd="${WINE:-wine}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Several suites start at once; one of them makes the prefix.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine_cmd" wineboot -i >/dev/null 2>&1
    # The Windows version the prefix reports, e.g. win7 for the Windows 7 build.
    [ -n "${PMKEST_WINE_VERSION:-}" ] && "$wine_cmd" winecfg -v "$PMKEST_WINE_VERSION" >/dev/null 2>&1
  fi
  wineserver -w
  flock -u 9
fi
winpath() { "$wine_cmd" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
export WINEPATH="$(winpath "$PMKEST_MINGW_QT/bin")"
export QT_PLUGIN_PATH="$PMKEST_MINGW_QT/plugins"
# Wine keeps the host's QT_* variables from Windows programs; WINEQT_x reaches them as QT_x.
for name in $(compgen -e | grep '^QT_'); do
  value="${!name}"
  case "$name" in QT_PLUGIN_PATH | QT_QPA_FONTDIR) value="$(winpath "$value")" ;; esac
  export "WINE$name=$value"
done
[ -n "${PMKEST_BUILD_DIR:-}" ] && PMKEST_BUILD_DIR="$(winpath "$PMKEST_BUILD_DIR")" && export PMKEST_BUILD_DIR
log="$(mktemp "${TMPDIR:-/tmp}/pmkest-wine-test.XXXXXX")"
is_qtest=0
case "$(basename "$program")" in tst_*) is_qtest=1 ;; esac
if [ "$is_qtest" = 1 ]; then
  "$wine_cmd" "$program" "$@" -o "$(winpath "$log"),txt" >/dev/null 2>&1
  rc=$?
  cat "$log"
else
  "$wine_cmd" "$program" "$@"
  rc=$?
fi
rm -f "$log"
exit $rc

#!/usr/bin/env bash
# Installs into a scratch prefix and checks it as the desktop sees it: the desktop entry, the
# MIME type of *.mpm, the metainfo, the command line, and that opening a project from the file
# manager (xdg-open) starts KEST on it.
# Usage: check_install.sh <build folder> <desktop id>
set -euo pipefail
build=$1
id=$2
scratch=$(mktemp -d)
pmkest_pid=
cleanup() {
  if [ -n "$pmkest_pid" ] && kill "$pmkest_pid" 2>/dev/null; then
    # pmkest ends on SIGTERM as on closing its window, writing its files into the scratch folder
    # first; removing that folder meanwhile fails.
    for _ in $(seq 100); do
      kill -0 "$pmkest_pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$scratch/prefix
# A world of its own: the scratch prefix first, no settings of the person running the test.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_CONFIG_DIRS=$scratch/etc
export XDG_DATA_HOME=$scratch/home/.local/share XDG_DATA_DIRS=$prefix/share:/usr/share
export XDG_RUNTIME_DIR=$scratch/run XDG_CURRENT_DESKTOP= QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/pmkest share/pmkest/kesttoolse.html share/pmkest/kesttoolsr.html \
  "share/applications/$id.desktop" "share/mime/packages/$id.xml" \
  "share/metainfo/$id.metainfo.xml" "share/icons/hicolor/scalable/apps/$id.svg" \
  share/doc/pmkest/copyright share/doc/pmkest/changelog.gz; do
  [ -e "$prefix/$f" ] || fail "$f not installed"
done
file "$prefix/bin/pmkest" | grep -q ', stripped' || fail "bin/pmkest keeps its debug info"

desktop=$prefix/share/applications/$id.desktop
grep -qx "Exec=$prefix/bin/pmkest %f" "$desktop" || fail "Exec does not name the installed pmkest"
desktop-file-validate "$desktop" || fail "desktop entry"
appstreamcli validate --no-net --strict "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "metainfo"
mime_log=$(update-mime-database "$prefix/share/mime" 2>&1) || fail "MIME: $mime_log"
[ -z "$mime_log" ] || fail "MIME: $mime_log"
update-desktop-database "$prefix/share/applications"

# The command line: printed, exit 0, no window and no settings, even without a display.
(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
  help=$("$prefix/bin/pmkest" --help) || fail "--help failed"
  grep -q '^Usage: pmkest' <<<"$help" || fail "--help printed: $help"
  version=$("$prefix/bin/pmkest" --version) || fail "--version failed"
  grep -qx 'pmkest [0-9][0-9.]*' <<<"$version" || fail "--version printed: $version"
  set +e
  error=$("$prefix/bin/pmkest" -x 2>&1 >/dev/null)
  status=$?
  set -e
  [ "$status" -eq 1 ] || fail "-x: exit code $status"
  grep -q -- "unknown option: -x" <<<"$error" || fail "-x not reported: $error")
[ ! -e "$prefix/bin/PMKEST_121226.ini" ] || fail "the command line wrote the settings"

# A project and a KEST that notes what it was started on and by whom.
kest=$scratch/kest
mkdir -p "$kest" "$scratch/projects"
printf '#!/bin/sh\ncp "$(dirname "$0")/kest.ini" "$(dirname "$0")/seen.ini"\necho $PPID > "$(dirname "$0")/parent"\n' \
  >"$kest/kest"
chmod +x "$kest/kest"
: >"$kest/kest.exe"
printf 'Author=nobody\r\n' >"$kest/kest.ini"
project=$scratch/projects/demo.mpm
printf '%s\r\n' "$scratch/projects/demo.ini" >"$project"
printf 'Author=demo project\r\n' >"$scratch/projects/demo.ini"
printf 'PATHKEST=%s/\r\nPATHINIKEST=%s/\r\n' "$kest" "$kest" >"$prefix/bin/PMKEST_121226.ini"

[ "$(xdg-mime query filetype "$project")" = application/x-pmkest-project ] ||
  fail "*.mpm is $(xdg-mime query filetype "$project")"
[ "$(xdg-mime query default application/x-pmkest-project)" = "$id.desktop" ] ||
  fail "application/x-pmkest-project opens with '$(xdg-mime query default application/x-pmkest-project)'"

# xdg-open acts only with a display; pmkest itself runs offscreen.
WAYLAND_DISPLAY=scratch xdg-open "$project" >/dev/null 2>&1 &
for _ in $(seq 100); do
  [ -s "$kest/parent" ] && break
  sleep 0.2
done
[ -s "$kest/parent" ] || fail "xdg-open did not start KEST"
pmkest_pid=$(cat "$kest/parent")
[ "$(readlink "/proc/$pmkest_pid/exe")" = "$prefix/bin/pmkest" ] ||
  fail "KEST was not started by the installed pmkest"
cmp -s "$kest/seen.ini" "$scratch/projects/demo.ini" || fail "KEST did not run on the project"
echo "install_layout: all checks passed"

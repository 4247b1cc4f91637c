#!/usr/bin/env bash
# Builds the Windows installer and the portable zip, then checks them under Wine as a Windows user
# would meet them, in a Wine prefix of their own: the silent install, the *.mpm file type opening
# a project in the installed pmkest (which starts KEST on it), the refusal to install over a
# running pmkest, the silent uninstall that keeps the user's files, and the portable copy keeping
# its settings beside itself.
# The Windows 7 packages (suffix win7-x64, Qt 5) are checked on a Wine that reports Windows 7,
# where the Windows 10/11 installer, when built beside them, must refuse.
# Usage: check_windows_install.sh <Windows build folder> <version> [<package suffix, win64>]
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
suffix=${3:-win64}
qt=Qt6
windows=win10  # a new Wine prefix says Windows 7 otherwise
if [[ $suffix == win7* ]]; then
  qt=Qt5
  windows=win7
fi
installer=$build/pmkest-$version-$suffix.exe
zip=$build/pmkest-$version-$suffix-portable.zip

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --build "$build" --target portable_zip >/dev/null
(cd "$build" && cpack -G NSIS >/dev/null)
[ -f "$installer" ] || fail "no installer $installer"
[ -f "$zip" ] || fail "no portable zip $zip"

# The programs find their own Qt here, in a graphical session; nothing of the test build's.
unset QT_QPA_PLATFORM QT_PLUGIN_PATH WINEPATH
export WINEPREFIX=$build/install-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=${WINE:-wine}
if [ -z "${PMKEST_UNDER_XVFB:-}" ]; then
  rm -rf "$WINEPREFIX"
  PMKEST_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
trap 'wineserver -k 2>/dev/null || true' EXIT
"$wine" wineboot -i >/dev/null 2>&1
wineserver -w
"$wine" winecfg -v "$windows" >/dev/null 2>&1
wineserver -w
if [ "$windows" = win7 ]; then
  newer=$build/../build-windows/pmkest-$version-win64.exe
  if [ -f "$newer" ]; then
    set +e
    "$wine" "$newer" /S
    status=$?
    set -e
    [ "$status" -eq 3 ] || fail "the Windows 10/11 installer ended with $status on $windows"
    [ ! -e "$WINEPREFIX/drive_c/Program Files/pmkest" ] || fail "the refused installer installed"
  else
    echo "windows_install: no Windows 10/11 installer beside this build, its refusal not checked"
  fi
fi
drive_c=$WINEPREFIX/drive_c
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
local_appdata=$(unix_path "$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
program=$drive_c/Program\ Files/pmkest
reg_has() { "$wine" reg query "$1" /ve 2>/dev/null | tr -d '\r' | grep -qF "$2"; }
# Waits up to 60 s for a line in a file.
wait_for_line() {
  for _ in $(seq 300); do
    grep -qs "$2" "$1" && return 0
    sleep 0.2
  done
  return 1
}
# Closes pmkest as the close box would (it writes its settings then) and waits until nothing
# runs in the prefix any more. A close sent before its window is up goes unseen: send again.
close_pmkest() {
  for _ in $(seq 30); do
    "$wine" taskkill /im pmkest.exe >/dev/null 2>&1 && timeout 5 wineserver -w && return 0
    sleep 1
  done
  fail "pmkest did not end on being closed"
}

# Install.
"$wine" "$installer" /S || fail "the installer ended with $?"
wineserver -w
for f in pmkest.exe "$qt"Core.dll "$qt"Gui.dll "$qt"Widgets.dll libstdc++-6.dll qt.conf \
  plugins/platforms/qwindows.dll plugins/styles/qwindowsvistastyle.dll \
  translations/qtbase_ru.qm kesttoolse.html kesttoolsr.html Uninstall.exe; do
  [ -f "$program/$f" ] || fail "$f not installed"
done
reg_has 'HKCR\.mpm' pmkest.Project || fail "*.mpm is not registered"
reg_has 'HKCR\pmkest.Project\shell\open\command' '"C:\Program Files\pmkest\pmkest.exe" "%1"' ||
  fail "no open command for pmkest.Project"
"$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\pmkest' 2>/dev/null |
  tr -d '\r' | grep -q 'DisplayVersion.*'"$version" || fail "no uninstall entry for $version"
ls "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/KEST Project Manager/KEST Project Manager.lnk" \
  >/dev/null || fail "no Start menu entry"

# A KEST (the stand-in, told through the environment to mark kest.ini) and a project.
kest=$drive_c/kest
mkdir -p "$kest" "$drive_c/projects"
cp "$build/kest-standin.exe" "$kest/kest.exe"
cp "$program"/*.dll "$kest/"
printf 'Author=nobody\r\n' >"$kest/kest.ini"
printf 'C:\\projects\\demo.ini\r\n' >"$drive_c/projects/demo.mpm"
printf 'Author=demo project\r\n' >"$drive_c/projects/demo.ini"
# Wine lets the installed copy write beside itself, so that is where it reads its settings.
printf 'PATHKEST=C:\\kest\\\r\nPATHINIKEST=C:\\kest\\\r\n' >"$program/PMKEST_121226.ini"
# A settings file of the user's own, which the uninstaller must leave alone.
mkdir -p "$local_appdata/pmkest"
printf 'COUNTER=7\r\nPATHKEST=D:\\KEST\\\r\n' >"$local_appdata/pmkest/PMKEST_121226.ini"
cp "$local_appdata/pmkest/PMKEST_121226.ini" "$build/install-prefix.kept.ini"

# Opening the project through its file type starts pmkest, which runs KEST on it.
KEST_STANDIN_ARGS="--set SEEN=installed" "$wine" start 'C:\projects\demo.mpm' ||
  fail "start demo.mpm failed"
wait_for_line "$drive_c/projects/demo.ini" '^SEEN=installed' ||
  fail "KEST did not run on the project opened through its file type"

# A running pmkest is not replaced, nor removed.
set +e
"$wine" "$installer" /S
status=$?
set -e
[ "$status" -ne 0 ] || fail "the installer went ahead over a running pmkest"
[ -f "$program/pmkest.exe" ] || fail "the refused install removed pmkest.exe"
close_pmkest
grep -q '^COUNTER=1' "$program/PMKEST_121226.ini" || fail "pmkest did not write its settings"

# Uninstall.
"$wine" "C:\\Program Files\\pmkest\\Uninstall.exe" /S || fail "the uninstaller ended with $?"
wineserver -w
for f in pmkest.exe "$qt"Core.dll plugins Uninstall.exe; do
  [ ! -e "$program/$f" ] || fail "$f left behind by the uninstaller"
done
! reg_has 'HKCR\.mpm' pmkest.Project || fail "*.mpm still opens with pmkest"
! "$wine" reg query 'HKCR\pmkest.Project' >/dev/null 2>&1 || fail "pmkest.Project left behind"
[ ! -e "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/KEST Project Manager" ] ||
  fail "the Start menu entry is left behind"
cmp -s "$local_appdata/pmkest/PMKEST_121226.ini" "$build/install-prefix.kept.ini" ||
  fail "the uninstaller touched the user's settings"
[ -f "$drive_c/projects/demo.mpm" ] && [ -f "$kest/kest.ini" ] || fail "the uninstaller took user files"

# On a Russian Windows the Start menu folder and its entries have Russian names.
menu_ru="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Менеджер проектов KEST"
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 "$wine" "$installer" /S || fail "the Russian install ended with $?"
wineserver -w
[ -f "$menu_ru/Менеджер проектов KEST.lnk" ] && [ -f "$menu_ru/Удалить.lnk" ] ||
  fail "the Russian install's Start menu entries: $(ls "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs")"
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 "$wine" "C:\\Program Files\\pmkest\\Uninstall.exe" /S ||
  fail "the Russian uninstall ended with $?"
wineserver -w
[ ! -e "$menu_ru" ] || fail "the Russian Start menu entries are left behind"

# The portable copy, unpacked on a writable "stick", keeps its settings beside itself.
stick=$drive_c/stick
mkdir -p "$stick"
(cd "$stick" && cmake -E tar xf "$zip")
"$wine" 'C:\stick\pmkest\pmkest.exe' &
close_pmkest
wait
grep -qs '^COUNTER=0' "$stick/pmkest/PMKEST_121226.ini" ||
  fail "the portable copy kept no settings of its own beside itself"
cmp -s "$local_appdata/pmkest/PMKEST_121226.ini" "$build/install-prefix.kept.ini" ||
  fail "the portable copy wrote into the user's settings"
rm -f "$build/install-prefix.kept.ini"
echo "windows_install: all checks passed"

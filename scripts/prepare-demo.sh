#!/usr/bin/env bash
# Prepares demo/ on first use; refreshes the copies of pmkest and kest-standin on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
demo="$PWD/demo"
mkdir -p "$demo/program" "$demo/kest" "$demo/projects/blink/out" "$demo/projects/blink/lst"
cp -f build/pmkest "$demo/program/pmkest"
cp -f build/kest-standin "$demo/kest/kest"
cp -f resources/help/kesttoolse.html resources/help/kesttoolsr.html "$demo/program/"
[ -e "$demo/kest/kest.exe" ] || : > "$demo/kest/kest.exe"

# The sample files are the tests' own (tests/data); sample FILE MARK=VALUE... fills them in.
sample() {
  local file="tests/data/$1" pair
  shift
  local script=()
  for pair in "$@"; do script+=(-e "s|@${pair%%=*}@|${pair#*=}|g"); done
  LC_ALL=C sed "${script[@]}" "$file"
}
crlf() { printf '%s\r\n' "$@"; }

if [ ! -e "$demo/kest/kest.ini" ]; then
  sample kest.ini "FOLDER=$demo/kest/examples/" MAIN=hello > "$demo/kest/kest.ini"
fi

blink="$demo/projects/blink"
if [ ! -e "$blink/blink.mpm" ]; then
  crlf "$blink/blink.ini" > "$blink/blink.mpm"
  sample kest.ini "FOLDER=$blink/" MAIN=blink > "$blink/blink.ini"
  cp tests/data/blink.pas "$blink/blink.pas"
fi

if [ ! -e "$demo/program/PMKEST_121226.ini" ]; then
  {
    sample PMKEST_121226.ini COUNTER=0 "KEST=$demo/kest/" "KESTINI=$demo/kest/" \
      "PROJECT=$blink/blink.mpm" HIDE=FALSE RUSSIAN=FALSE
    crlf "PROJECT1=$blink/blink.mpm"
    for n in $(seq 2 20); do crlf "PROJECT$n="; done
  } > "$demo/program/PMKEST_121226.ini"
fi

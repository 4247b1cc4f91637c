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

crlf() { printf '%s\r\n' "$@"; }
# "Иван" in CP1251: KEST's files are CP1251, and the manager carries such bytes through.
author=$'\xc8\xe2\xe0\xed'

if [ ! -e "$demo/kest/kest.ini" ]; then
  crlf "[Editor]" "FontName=Courier New" "FontSize=10" "TabWidth=8" "AutoIndent=1" \
    "Highlight=1" "Author=$author" "" "[Project]" \
    "SourcePath=$demo/kest/examples/" "MainFile=$demo/kest/examples/hello.pas" \
    "OpenFiles=$demo/kest/examples/hello.pas" "Active=0" \
    "OutPath=$demo/kest/examples/out/" "ListPath=$demo/kest/examples/lst/" \
    "PascalOutPath=$demo/kest/examples/out/" "PascalIncludes=" "PascalUnits=" \
    "PascalOptions=-A -H -MGD -MLI -E$demo/kest/examples/out" "" "[Window]" \
    "Left=120" "Top=80" "Width=900" "Height=640" > "$demo/kest/kest.ini"
fi

blink="$demo/projects/blink"
if [ ! -e "$blink/blink.mpm" ]; then
  crlf "$blink/blink.ini" > "$blink/blink.mpm"
  crlf "[Editor]" "FontName=Courier New" "FontSize=10" "TabWidth=8" "AutoIndent=1" \
    "Highlight=1" "Author=$author" "" "[Project]" \
    "SourcePath=$blink/" "MainFile=$blink/blink.pas" "OpenFiles=$blink/blink.pas" "Active=0" \
    "OutPath=$blink/out/" "ListPath=$blink/lst/" "PascalOutPath=$blink/out/" \
    "PascalIncludes=" "PascalUnits=" "PascalOptions=-A -H -MGD -E$blink/out" "" "[Window]" \
    "Left=120" "Top=80" "Width=900" "Height=640" > "$blink/blink.ini"
  crlf "program Blink;" "begin" "  while True do P1 := not P1;" "end." > "$blink/blink.pas"
fi

if [ ! -e "$demo/program/PMKEST_121226.ini" ]; then
  {
    crlf "COUNTER=0" "PATHKEST=$demo/kest/" "PATHINIKEST=$demo/kest/" \
      "PROJECTCUR=$blink/blink.mpm" "FLAGHIDE=FALSE" "FLAGRUS=FALSE" "PROJECT1=$blink/blink.mpm"
    for n in $(seq 2 20); do crlf "PROJECT$n="; done
  } > "$demo/program/PMKEST_121226.ini"
fi

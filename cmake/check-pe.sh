#!/usr/bin/env bash
# Checks that every program and DLL of a ready folder loads on Windows 7: a PE subsystem version
# of at most 6.1, and no import that Windows 7 lacks (the API sets, the DPI library shcore.dll,
# the universal C runtime).
# Usage: check-pe.sh <ready folder>
set -uo pipefail
folder="$1"
objdump="${OBJDUMP:-x86_64-w64-mingw32-objdump}"
checked=0
failed=0
while IFS= read -r -d '' file; do
  headers="$("$objdump" -p "$file")" || { echo "FAIL: $file is no PE file"; failed=1; continue; }
  major="$(awk '/^MajorSubsystemVersion/ {print $2}' <<<"$headers")"
  minor="$(awk '/^MinorSubsystemVersion/ {print $2}' <<<"$headers")"
  name="${file#"$folder"/}"
  if [ -z "$major" ] || [ -z "$minor" ] || [ $((major * 100 + minor)) -gt 601 ]; then
    echo "FAIL: $name has subsystem version ${major:-?}.${minor:-?}, above 6.1"
    failed=1
  fi
  bad="$(awk '/DLL Name:/ {print $3}' <<<"$headers" | grep -iE '^(api-ms-win-|shcore\.dll$|ucrtbase\.dll$)' |
    tr '\n' ' ')"
  if [ -n "$bad" ]; then
    echo "FAIL: $name imports $bad"
    failed=1
  fi
  checked=$((checked + 1))
done < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 | sort -z)
if [ "$checked" -eq 0 ]; then
  echo "FAIL: no .exe or .dll in $folder"
  exit 1
fi
[ "$failed" -eq 0 ] && echo "$checked files load on Windows 7"
exit "$failed"

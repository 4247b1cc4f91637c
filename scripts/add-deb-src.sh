#!/usr/bin/env bash
# Gives apt source entries for the machine's own Debian release: every configured "deb" entry
# of this release (deb822 .sources and one-line .list) gets a "deb-src" twin with the same
# URIs, suites, components and key, so a source package comes from the mirror the machine
# already uses. Writes /etc/apt/sources.list.d/pmkest-source.sources and updates apt.
set -euo pipefail
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
[ -n "$codename" ] || { echo "The release's code name is not in /etc/os-release" >&2; exit 1; }
out=/etc/apt/sources.list.d/pmkest-source.sources
entries="$(
  {
    # deb822 files: one paragraph per entry; keep URIs, Suites, Components and Signed-By.
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && [ "$f" != "$out" ] && { cat "$f"; printf '\n\n'; }
    done | awk -v rel="$codename" 'BEGIN { RS = ""; FS = "\n" }
      {
        types = uris = suites = comps = key = ""; enabled = 1
        for (i = 1; i <= NF; i++) {
          line = $i; sub(/#.*/, "", line)
          if (line ~ /^Types:/) { types = line; sub(/^Types:[ \t]*/, "", types) }
          else if (line ~ /^URIs:/) { uris = line; sub(/^URIs:[ \t]*/, "", uris) }
          else if (line ~ /^Suites:/) { suites = line; sub(/^Suites:[ \t]*/, "", suites) }
          else if (line ~ /^Components:/) { comps = line; sub(/^Components:[ \t]*/, "", comps) }
          else if (line ~ /^Signed-By:[ \t]*\//) { key = line; sub(/^Signed-By:[ \t]*/, "", key) }
          else if (line ~ /^Enabled:[ \t]*no/) enabled = 0
        }
        if (!enabled || (" " types " ") !~ / deb / || uris == "" || comps == "") next
        n = split(suites, s, /[ \t]+/); keep = ""
        for (j = 1; j <= n; j++) if (s[j] == rel || index(s[j], rel "-") == 1) keep = keep " " s[j]
        if (keep == "") next
        printf "Types: deb-src\nURIs: %s\nSuites:%s\nComponents: %s\n", uris, keep, comps
        if (key != "") printf "Signed-By: %s\n", key
        printf "\n"
      }'
    # One-line files: "deb [options] uri suite components...".
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk -v rel="$codename" '
        { sub(/#.*/, "") }
        $1 == "deb" {
          i = 2; key = ""
          if ($2 ~ /^\[/) {
            while (i <= NF) {
              if ($i ~ /signed-by=/) { key = $i; sub(/.*signed-by=/, "", key); sub(/\]$/, "", key) }
              if ($i ~ /\]$/) { i++; break }
              i++
            }
          }
          uri = $i; suite = $(i + 1)
          if (suite != rel && index(suite, rel "-") != 1) next
          comps = ""; for (j = i + 2; j <= NF; j++) comps = comps (comps == "" ? "" : " ") $j
          printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", uri, suite, comps
          if (key != "") printf "Signed-By: %s\n", key
          printf "\n"
        }' || true
  }
)"
[ -n "$entries" ] || { echo "apt has no Debian entry for $codename to take sources from" >&2; exit 1; }
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Adding source entries beside the configured Debian entries for $codename"
printf '%s\n' "$entries" | "${sudo_cmd[@]}" tee "$out" >/dev/null
"${sudo_cmd[@]}" apt-get update -q

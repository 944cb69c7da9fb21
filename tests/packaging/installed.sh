#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian package into this machine (as root, or with sudo), runs
# the installed programs as a user would, checks the installed files with
# Debian's validators, then removes the package and checks that nothing of it
# is left.
set -uo pipefail
package=$(realpath "$1")
audio=$(realpath "$(dirname "$0")/../data/audio")
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache LANG=C.UTF-8 LC_ALL=C.UTF-8
failures=0
check() { # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

echo "-- install $package"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "$package" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; exit 1; }
dpkg-query -L velmora >"$work/files"

version=$(dpkg-query -W -f='${Version}' velmora)
check "velmora-cli --version" "velmora-cli ${version%-*}" "$(/usr/bin/velmora-cli --version)"
check "velmora --version" "velmora ${version%-*}" "$(/usr/bin/velmora --version)"
/usr/bin/velmora-cli scan "$audio" -c "$work/music.col" --label "TEST CD" --serial 1 2>/dev/null
check "scan with the installed program" 0 $?
check "one volume" 1 "$(/usr/bin/velmora-cli volumes "$work/music.col" | wc -l)"
# The installed packs are found beside the installed program.
check "installed German pack" "Die Datei kann nicht geöffnet werden: $work/none.col" \
  "$(LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 /usr/bin/velmora-cli dump "$work/none.col" 2>&1)"
check "packs are sound" 0 "$(/usr/bin/velmora-cli check-pack /usr/share/velmora/*.lng >/dev/null; echo $?)"

desktop-file-validate /usr/share/applications/velmora.desktop
check "desktop file" 0 $?
appstreamcli validate --no-net --pedantic /usr/share/metainfo/org.velmora.velmora.metainfo.xml
check "AppStream metainfo" 0 $?
for page in velmora velmora-cli; do
  check "man $page" "/usr/share/man/man1/$page.1.gz" "$(man -w "$page")"
  check "man --warnings $page" "" "$(MANWIDTH=80 man --warnings "$page" 2>&1 >/dev/null)"
done
check "completion" "complete -F _velmora_cli velmora-cli" \
  "$(bash -c 'source /usr/share/bash-completion/completions/velmora-cli; complete -p velmora-cli')"
xvfb-run -a /usr/bin/velmora --screenshot "$work/window.png" "$work/music.col"
check "screenshot of the installed program" "PNG" "$(head -c4 "$work/window.png" | tail -c3)"

echo "-- remove"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q velmora >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; exit 1; }
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    echo "FAIL: left after removal: $path"
    failures=$((failures + 1))
  fi
done <"$work/files"
for folder in /usr/share/velmora /usr/share/doc/velmora; do
  [ ! -e "$folder" ] || { echo "FAIL: left after removal: $folder"; failures=$((failures + 1)); }
done

if [ "$failures" -ne 0 ]; then
  echo "$failures installed-package check(s) failed"
  exit 1
fi
echo "installed-package checks passed"

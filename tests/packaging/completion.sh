#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The bash completion of velmora-cli, run as bash runs it on Tab: commands,
# each command's options (read from its --help) and file names by extension.
set -u
completion=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# shellcheck source=/dev/null
source "$completion"

# The words typed so far, the last one the word being completed; prints the
# sorted offers on one line.
offers() {
  COMP_WORDS=("$cli" "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _velmora_cli 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

check() { # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

check "commands" "scan" "$(offers sc)"
check "commands by a letter" "delete drives dump duplicates" "$(offers d)"
check "tag actions" "write" "$(offers tag w)"
check "report options" "--format" "$(offers report a.col --fo)"
check "scan options" "--collection --help --label --no-id3v2 --serial --update" "$(offers scan x --)"
check "tag write options" "--title" "$(offers tag write --ti)"
check "formats" "csv dif html text" "$(offers report a.col --format '')"

cd "$work" || exit 1
mkdir sub
touch a.col B.COL c.vlm d.txt e.mp3 f.pls g.m3u h.pdf pack.lng
check "collections" "B.COL a.col sub" "$(offers dump '')"
check "collection of an option" "B.COL a.col sub" "$(offers sort -c '')"
check "import sources" "B.COL a.col c.vlm sub" "$(offers import a.col '')"
check "audio files" "e.mp3 sub" "$(offers analyse '')"
check "playlists" "f.pls g.m3u sub" "$(offers playlist a.col '#1' -o '')"
check "cover output" "h.pdf sub" "$(offers cover sub -o '')"
check "packs" "pack.lng sub" "$(offers check-pack '')"
check "folders" "sub" "$(offers scan '')"

if [ "$failures" -ne 0 ]; then
  echo "$failures completion check(s) failed"
  exit 1
fi
echo "completion checks passed"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages: man and lexgrog read them without a warning, and
# velmora-cli's page names every command and option the program's own help
# lists. Exit 77 (skipped) without man-db.
set -u
pages=$1
cli=$2
command -v man >/dev/null && command -v lexgrog >/dev/null || exit 77
failures=0
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

for page in "$pages"/velmora.1 "$pages"/velmora-cli.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  lexgrog "$page" >/dev/null || fail "$page: lexgrog finds no NAME section"
done

# In troff a dash is written "\-".
source=$(sed 's/\\-/-/g' "$pages/velmora-cli.1")
commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' | sort -u)
[ -n "$commands" ] || fail "velmora-cli --help lists no commands"
for command in $commands; do
  grep -q -- "^\.B[IR]* \"\?$command\b" <<<"$source" || fail "no entry for the command $command"
  helps=$command
  [ "$command" = tag ] && helps="tag show|tag write|tag remove"
  IFS='|' read -ra forms <<<"$helps"
  for form in "${forms[@]}"; do
    # shellcheck disable=SC2086 # "tag show" is two words
    for option in $("$cli" $form --help | grep -oE '^  (-[a-z], )?--[a-z0-9-]+' |
      grep -oE -- '--[a-z0-9-]+'); do
      grep -q -- "$option\b" <<<"$source" || fail "$form: no $option in the page"
    done
  done
done

if [ "$failures" -ne 0 ]; then
  echo "$failures manual page check(s) failed"
  exit 1
fi
echo "manual page checks passed"

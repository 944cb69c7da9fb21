#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Formats every C++ file under git with clang-format 14 and .clang-format;
# with --check, changes nothing and fails when a file is not formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

format=clang-format-14
command -v "$format" >/dev/null || format=clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')

if [ "${1:-}" = "--check" ]; then
  "$format" --dry-run --Werror "${files[@]}"
  echo "All ${#files[@]} files formatted."
else
  "$format" -i "${files[@]}"
fi

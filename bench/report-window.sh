#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the report progress window's benchmark in a Release tree
# (build-bench), makes the synthetic collection of one million nodes once
# (bench/out/, not in git) and times, in one run, a report of every row and
# column through the progress window against the same report through
# RunReport. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM is set.
# Extra arguments go to the benchmark, for example:
# bench/report-window.sh --runs 5
exec "$(dirname "$0")/offscreen-bench.sh" report-window.sh velmora-bench-report-window -- "$@"

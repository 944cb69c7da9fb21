#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the search result windows' benchmark in a Release tree
# (build-bench), makes the synthetic collection of one million nodes once
# (bench/out/, not in git) and measures, in one run, the opening of a name
# search's result window against the search itself, scrolling its list, and
# switching groups in a duplicates window of 50,000 groups. Runs on Qt's
# offscreen platform unless QT_QPA_PLATFORM is set. Extra arguments go to the
# benchmark, for example: bench/search-window.sh --runs 9 --word love
exec "$(dirname "$0")/offscreen-bench.sh" search-window.sh velmora-bench-search-window -- "$@"

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the desktop program and its benchmark in a Release tree
# (build-bench), makes the synthetic collection of one million nodes once
# (bench/out/, not in git, as collection.sh does) and measures, in one run,
# the start to a ready window against the core's load of that file, choosing
# a folder of 10,000 files and a view tree of 100,000 folders. Runs on Qt's
# offscreen platform unless QT_QPA_PLATFORM is set. Extra arguments go to the
# benchmark, for example: bench/gui.sh --runs 9
exec "$(dirname "$0")/offscreen-bench.sh" gui.sh velmora-bench-gui --with velmora --fixed --velmora --fixed build-bench/src/gui/velmora -- "$@"

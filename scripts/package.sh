#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package dist/velmora_VERSION-1_ARCH.deb from the Release
# build (build-release), compiled with Debian's hardening flags, and checks
# it with lintian (errors fail; warnings are shown).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
# Debian's flags, without -g: the package's programs are stripped anyway.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cxxflags=$(echo "$cxxflags" | sed -e 's/\(^\| \)-g\( \|$\)/ /g' -e 's/-ffile-prefix-map=[^ ]*//')
ldflags="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build build-release
rm -rf dist
(cd build-release && cpack -G DEB -B "$PWD/../dist" >/dev/null)
rm -rf dist/_CPack_Packages
package=$(ls dist/velmora_*.deb)
echo "== lintian $package"
lintian --fail-on error "$package"
echo "$package"

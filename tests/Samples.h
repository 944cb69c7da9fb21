// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Bytes.h"

#include <string>

namespace velmora::testing {

// The example collection of the file format: one volume holding one file.
inline const std::string kExampleRoot = Bytes("[01]3921[02]245[03]1[04]1[05]45000[06]");
inline const std::string kExampleVolume =
    Bytes("AUDIO[01]3921[02]245[03]0[04]1[05]45000[06]-805[07]");
inline const std::string kExampleFile = Bytes("song.mp3[01]3921[02]245[03]4410[04]2[05]1[06]3[07]"
                                              "[15]Title[16]Artist[17][18]7[19]1999[1A][1B]");
inline const std::string kExampleCollection =
    kExampleRoot + "\r\n\t" + kExampleVolume + "\r\n\t\t" + kExampleFile + "\r\n";

} // namespace velmora::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

/// The help line of the option --no-id3v2 of scan, analyse and tag show.
inline constexpr std::string_view kNoId3v2Help =
    "texts only from ID3v1 tags, never from an ID3v2 tag at the start";

/// analyse [--no-id3v2] FILE...: per file the path as given, the analyser
/// that accepted it (mpeg, info or none), then the six numbers and six texts
/// a scan stores, tab-separated.
class AnalyseCommand final : public Command {
public:
    AnalyseCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// tag show [--no-id3v2] FILE... | tag write [--title T] [--artist A] [--album A]
/// [--track N] [--year Y] [--comment C] FILE... | tag remove FILE...
/// Wrong usage of any of them prints the usage of all three.
class TagCommand final : public Command {
public:
    TagCommand();
};

} // namespace velmora::cli

#pragma once

#include "cli/Cli.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

/// scan SOURCE -c COLLECTION [--label L] [--serial N] [--update]: adds the
/// source as a volume and saves the collection (made when missing). A volume
/// of the same identity fails the command with text 099 unless --update
/// answers it. Progress on stderr when it is a terminal; an interrupt
/// cancels the scan and leaves the collection file untouched.
int ScanCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                CliContext& context);

/// The serial given on the command line: decimal, 0x and hexadecimal digits,
/// or eight hexadecimal digits with an optional dash (ABCD-1234).
bool ParseSerial(std::string_view text, std::uint32_t& serial);

} // namespace velmora::cli

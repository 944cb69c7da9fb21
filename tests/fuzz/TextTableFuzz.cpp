// SPDX-License-Identifier: GPL-3.0-or-later
// Reads arbitrary bytes as a language pack, looks up every text and checks
// the pack as velmora-cli check-pack does.
#include "texts/LanguagePacks.h"
#include "texts/TextTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora::texts;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TextTable table = TextTable::FromPackBytes(bytes);
    for (std::size_t n = 0; n < table.lineCount() + 2; ++n) {
        const std::string_view text = table.TextAt(n);
        // Past its lines a pack answers "?", except for the texts numbered
        // after the table's own, which keep their English wording.
        const bool extra = n >= kTextCount && n - kTextCount < kExtraTextCount;
        const std::string_view missing = extra ? kExtraTexts[n - kTextCount].substr(3) : "?";
        if (n >= table.lineCount() && text != missing)
            std::abort();
        if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            std::abort();
    }
    // Every problem names its line or the text it is about.
    for (const std::string& problem : CheckPack(bytes)) {
        if (problem.empty())
            std::abort();
    }
    // The language name is the first line's text, never a line end.
    if (PackLanguageName(bytes).find_first_of("\r\n") != std::string_view::npos)
        std::abort();
    return 0;
}

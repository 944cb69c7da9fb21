// Reads arbitrary bytes as a language pack and looks up every text.
#include "texts/TextTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using velmora::texts::TextTable;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TextTable table = TextTable::FromPackBytes(bytes);
    for (std::size_t n = 0; n < table.lineCount() + 2; ++n) {
        const std::string_view text = table.Text(n);
        if (n >= table.lineCount() && text != "?")
            std::abort();
        if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            std::abort();
    }
    return 0;
}

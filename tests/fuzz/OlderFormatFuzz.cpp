// SPDX-License-Identifier: GPL-3.0-or-later
// Converts arbitrary bytes as an older collection file; a successful
// conversion must give a tree whose every node has a text of its level's
// grammar.
#include "collection/CollectionTree.h"
#include "collection/Import.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora::collection;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CollectionTree scratch;
    if (!ConvertOlderFile(bytes, scratch))
        return 0;
    for (NodeId n = scratch.root(); n != kNoNode; n = scratch.nextInPreOrder(n)) {
        const std::string_view text = scratch.text(n);
        if (text.find('\x01') == std::string_view::npos)
            std::abort();
    }
    CollectionTree collection;
    collection.addRoot("\x01"
                       "0\x02"
                       "0\x03"
                       "0\x04"
                       "0\x05"
                       "0\x06");
    MergeImported(collection, scratch, 45000);
    if (collection.size() != scratch.size())
        std::abort();
    return 0;
}

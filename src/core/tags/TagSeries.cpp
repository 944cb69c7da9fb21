// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagSeries.h"

#include "texts/AsciiCase.h"

#include <optional>

namespace velmora::tags {

bool MatchesTagEditorMask(std::string_view name)
{
    if (name.size() < 4)
        return false;
    const std::string_view tail = name.substr(name.size() - 4);
    const auto lower = texts::LowerAsciiLetter;
    return tail[0] == '.' && lower(tail[1]) == 'm' && lower(tail[2]) == 'p';
}

namespace {

template <typename Change>
[[nodiscard]] bool RunSeries(const std::vector<std::string>& paths, SeriesUser& user, Change change)
{
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::optional<texts::TextId> error = change(paths[i]);
        if (!error)
            user.Changed(i);
        else if (!user.GoOn(i, *error))
            return false;
    }
    return true;
}

} // namespace

bool WriteSeries(BulkTagEditor& editor, const std::vector<std::string>& paths,
                 const TagChanges& changes, SeriesUser& user)
{
    return RunSeries(paths, user,
                     [&](const std::string& path) { return editor.Write(path, changes); });
}

bool RemoveSeries(BulkTagEditor& editor, const std::vector<std::string>& paths, SeriesUser& user,
                  TagParts parts)
{
    return RunSeries(paths, user,
                     [&](const std::string& path) { return editor.Remove(path, parts); });
}

} // namespace velmora::tags

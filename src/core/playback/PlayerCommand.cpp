// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/PlayerCommand.h"

namespace velmora::playback {

namespace {

constexpr std::string_view kFilePlaceholder = "%f";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The words of a command line: blanks separate them outside double quotes;
// quotes group and are dropped ("" is an empty word); a backslash before a
// quote or a backslash stands for that character, before anything else for
// itself.
std::vector<std::string> SplitWords(std::string_view command)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (!quoted && IsBlank(c)) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < command.size() &&
                   (command[i + 1] == '"' || command[i + 1] == '\\')) {
            word += command[++i];
        } else {
            word += c;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

// Replaces every "%f" in `argument`; true when there was one.
bool ReplacePlaceholder(std::string& argument, const std::string& file)
{
    bool replaced = false;
    std::size_t at = 0;
    while ((at = argument.find(kFilePlaceholder, at)) != std::string::npos) {
        argument.replace(at, kFilePlaceholder.size(), file);
        at += file.size();
        replaced = true;
    }
    return replaced;
}

} // namespace

std::vector<std::string> PlayerArguments(std::string_view command, const std::string& file)
{
    std::vector<std::string> words = SplitWords(command);
    if (words.empty())
        return words;
    bool placed = false;
    for (std::size_t i = 1; i < words.size(); ++i)
        placed = ReplacePlaceholder(words[i], file) || placed;
    if (!placed)
        words.push_back(file);
    return words;
}

const std::vector<KnownPlayer>& KnownPlayers()
{
    static const std::vector<KnownPlayer> players = {
        {"audacious", "audacious -e %f"},    {"vlc", "vlc --one-instance --playlist-enqueue %f"},
        {"clementine", "clementine -a %f"},  {"strawberry", "strawberry -a %f"},
        {"deadbeef", "deadbeef --queue %f"},
    };
    return players;
}

std::string DefaultPlayerCommand(const std::function<bool(std::string_view)>& installed)
{
    for (const KnownPlayer& player : KnownPlayers()) {
        if (installed(player.program))
            return std::string(player.command);
    }
    return {};
}

} // namespace velmora::playback

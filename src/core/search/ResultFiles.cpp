#include "search/ResultFiles.h"

#include "collection/NodeText.h"
#include "search/ResultRows.h"
#include "search/Searches.h"
#include "settings/Settings.h"
#include "texts/Encoding.h"
#include "texts/TextTable.h"

#include <array>

namespace velmora::search {

namespace {

constexpr std::size_t kFound = 140;
constexpr std::size_t kName = 120;
constexpr std::size_t kTag = 19;
constexpr std::size_t kProperty = 18;
constexpr std::size_t kDuplicates = 20;
constexpr std::size_t kText = 179;
constexpr std::size_t kMatchCase = 127;
constexpr std::size_t kYes = 55;
constexpr std::size_t kNo = 56;
constexpr std::size_t kFirstTagLabel = 42; // Title; Artist to Comment follow
constexpr std::size_t kBitRate = 131;
constexpr std::size_t kSampleRate = 132;
constexpr std::size_t kChannelMode = 133;
constexpr std::size_t kVersion = 134;
constexpr std::size_t kLayer = 135;
constexpr std::size_t kValidTag = 136;
constexpr std::size_t kKbps = 67;
constexpr std::size_t kHz = 70;
constexpr std::size_t kStereo = 71;
constexpr std::size_t kMono = 74;
constexpr std::size_t kPresent = 137;
constexpr std::size_t kNotPresent = 138;

constexpr std::string_view kLineEnd = "\r\n";

// The text as the list shows it, bytes below 32 written as "?" as the scan
// stores them in names.
void Append(std::string& out, std::string_view text)
{
    const std::size_t start = out.size();
    out += texts::DisplayText(text);
    for (std::size_t i = start; i < out.size(); ++i) {
        if (static_cast<unsigned char>(out[i]) < 32)
            out[i] = '?';
    }
}

void Line(std::string& out, std::string_view text)
{
    Append(out, text);
    out += kLineEnd;
}

std::string Title(const texts::TextTable& table, std::size_t what)
{
    return std::string(table.Text(kFound)) + ": " + std::string(table.Text(what));
}

void Row(std::string& out, const collection::CollectionTree& tree, collection::NodeId node,
         std::string_view driveRoot)
{
    // Path and name may come from volumes scanned on different systems, so
    // each is decoded on its own.
    Append(out, RowPath(tree, node, driveRoot));
    Append(out, collection::NodeName(tree.text(node)));
    out += kLineEnd;
}

void Rows(std::string& out, const collection::CollectionTree& tree, const ResultList& results,
          std::string_view driveRoot)
{
    for (const ResultEntry& entry : results.entries())
        Row(out, tree, entry.node, driveRoot);
}

std::string_view Pick(std::int32_t index, const std::array<std::string_view, 3>& values)
{
    return index >= 0 && index < 3 ? values[static_cast<std::size_t>(index)] : "?";
}

constexpr std::array<std::string_view, 3> kComparisons = {"<", "=", ">"};

} // namespace

std::string NameResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                            const settings::Settings& settings, const texts::TextTable& table,
                            std::string_view driveRoot)
{
    std::string out;
    Line(out, Title(table, kName));
    Line(out, "");
    Line(out, std::string(table.Text(kText)) + ": " + settings.nameText);
    Line(out, std::string(table.Text(kMatchCase)) + ": " +
                  std::string(table.Text(settings.nameCase ? kYes : kNo)));
    Line(out, "");
    Rows(out, tree, results, driveRoot);
    return out;
}

std::string TagResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                           const settings::Settings& settings, const texts::TextTable& table,
                           std::string_view driveRoot)
{
    std::string out;
    Line(out, Title(table, kTag));
    Line(out, "");
    const std::array<bool, 6> used = UsedTagColumns(settings);
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i])
            Line(out, std::string(table.Text(kFirstTagLabel + i)) + ": " + settings.tagText[i]);
    }
    Line(out, "");
    Rows(out, tree, results, driveRoot);
    return out;
}

std::string PropertyResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                                const settings::Settings& settings, const texts::TextTable& table,
                                std::string_view driveRoot)
{
    const PropertyCriteria& c = settings.property;
    const auto label = [&table](std::size_t text) { return std::string(table.Text(text)) + ": "; };
    const auto compared = [&](std::size_t text, std::size_t byte,
                              const std::array<std::string_view, 3>& values,
                              std::string_view unit) {
        std::string line = label(text) + std::string(Pick(c[byte], kComparisons)) + ' ' +
                           std::string(Pick(c[byte + 1], values));
        if (!unit.empty())
            line += ' ' + std::string(unit);
        return line;
    };
    std::string out;
    Line(out, Title(table, kProperty));
    Line(out, "");
    if (c[0] == 1)
        Line(out, compared(kBitRate, 1, {"128", "160", "192"}, table.Text(kKbps)));
    if (c[3] == 1)
        Line(out, compared(kSampleRate, 4, {"22050", "32000", "44100"}, table.Text(kHz)));
    if (c[6] == 1)
        Line(out, label(kChannelMode) + std::string(table.Text(c[7] == 0 ? kMono : kStereo)));
    if (c[9] == 1)
        Line(out, compared(kVersion, 10, {"1", "2", "2.5"}, {}));
    if (c[12] == 1)
        Line(out, compared(kLayer, 13, {"1", "2", "3"}, {}));
    if (c[15] == 1)
        Line(out, label(kValidTag) + std::string(table.Text(c[16] == 0 ? kPresent : kNotPresent)));
    Line(out, "");
    Rows(out, tree, results, driveRoot);
    return out;
}

std::string DuplicateResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                                 const settings::Settings& settings, const texts::TextTable& table,
                                 std::string_view decimalSeparator, std::string_view driveRoot)
{
    std::string out;
    Line(out, Title(table, kDuplicates));
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (i == 0 || CompareFoldedAZ(results[i - 1].text, results[i].text) != 0) {
            Line(out, "");
            Line(out, DuplicateGroupLabel(tree.text(results[i].node), settings.compareName,
                                          settings.compareProperty, table, decimalSeparator));
        }
        Row(out, tree, results[i].node, driveRoot);
    }
    return out;
}

} // namespace velmora::search

// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ResultFiles.h"

#include "collection/NodeText.h"
#include "search/ResultRows.h"
#include "search/Searches.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <array>

namespace velmora::search {

namespace {

using texts::TextId;

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

std::string Title(const texts::TextTable& table, TextId what)
{
    return std::string(table.Text(TextId::FoundLabel)) + ": " + std::string(table.Text(what));
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

template <typename Enum>
std::string_view Pick(Enum stored, const std::array<std::string_view, 3>& values)
{
    const auto index = static_cast<std::int32_t>(stored);
    return index >= 0 && index < 3 ? values[static_cast<std::size_t>(index)] : "?";
}

constexpr std::array<std::string_view, 3> kComparisons = {"<", "=", ">"};

} // namespace

std::string NameResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                            const NameCriteria& criteria, const texts::TextTable& table,
                            std::string_view driveRoot)
{
    std::string out;
    Line(out, Title(table, TextId::SearchNameLabel));
    Line(out, "");
    Line(out, std::string(table.Text(TextId::TextCriterion)) + ": " + criteria.text);
    Line(out,
         std::string(table.Text(TextId::MatchCaseOption)) + ": " +
             std::string(table.Text(criteria.matchCase ? TextId::YesButton : TextId::NoButton)));
    Line(out, "");
    Rows(out, tree, results, driveRoot);
    return out;
}

std::string TagResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                           const TagCriteria& criteria, const texts::TextTable& table,
                           std::string_view driveRoot)
{
    std::string out;
    Line(out, Title(table, TextId::TagCommand));
    Line(out, "");
    const std::array<bool, 6> used = UsedTagColumns(criteria);
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i])
            Line(out, std::string(table.Text(texts::After(TextId::TitleColumn, i))) + ": " +
                          criteria.texts[i]);
    }
    Line(out, "");
    Rows(out, tree, results, driveRoot);
    return out;
}

std::string PropertyResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                                const PropertyCriteria& c, const texts::TextTable& table,
                                std::string_view driveRoot)
{
    const auto label = [&table](TextId text) { return std::string(table.Text(text)) + ": "; };
    const auto compared = [&](TextId text, const auto& term,
                              const std::array<std::string_view, 3>& values,
                              std::string_view unit) {
        std::string line = label(text) + std::string(Pick(term.comparison, kComparisons)) + ' ' +
                           std::string(Pick(term.value, values));
        if (!unit.empty())
            line += ' ' + std::string(unit);
        return line;
    };
    std::string out;
    Line(out, Title(table, TextId::PropertyCommand));
    Line(out, "");
    if (c.bitRate.used)
        Line(out, compared(TextId::BitRateCriterion, c.bitRate, {"128", "160", "192"},
                           table.Text(TextId::KbpsUnit)));
    if (c.sampleRate.used)
        Line(out, compared(TextId::SampleRateCriterion, c.sampleRate, {"22050", "32000", "44100"},
                           table.Text(TextId::HertzUnit)));
    if (c.channelMode.used)
        Line(out, label(TextId::ChannelModeCriterion) +
                      std::string(table.Text(c.channelMode.value == ChannelMode::Mono
                                                 ? TextId::MonoMode
                                                 : TextId::StereoMode)));
    if (c.version.used)
        Line(out, compared(TextId::MpegVersionCriterion, c.version, {"1", "2", "2.5"}, {}));
    if (c.layer.used)
        Line(out, compared(TextId::MpegLayerCriterion, c.layer, {"1", "2", "3"}, {}));
    if (c.validTag.used)
        Line(out, label(TextId::ValidTagCriterion) +
                      std::string(table.Text(c.validTag.value == TagPresence::Present
                                                 ? TextId::TagPresent
                                                 : TextId::TagNotPresent)));
    Line(out, "");
    Rows(out, tree, results, driveRoot);
    return out;
}

std::string DuplicateResultsFile(const collection::CollectionTree& tree, const ResultList& results,
                                 const DuplicateCriteria& criteria, const texts::TextTable& table,
                                 std::string_view decimalSeparator, std::string_view driveRoot)
{
    std::string out;
    Line(out, Title(table, TextId::DuplicatesCommand));
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (i == 0 || CompareFoldedAZ(results[i - 1].text, results[i].text) != 0) {
            Line(out, "");
            Line(out, DuplicateGroupLabel(tree.text(results[i].node), criteria.compareName,
                                          criteria.compareProperty, table, decimalSeparator));
        }
        Row(out, tree, results[i].node, driveRoot);
    }
    return out;
}

} // namespace velmora::search

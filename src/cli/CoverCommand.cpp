// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CoverCommand.h"

#include "cli/OutputTarget.h"
#include "cover/CoverRenderer.h"
#include "cover/CoverSource.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <charconv>
#include <ostream>

namespace velmora::cli {

namespace {

// The cover window's limit for its own label.
constexpr std::size_t kMaxLabelCharacters = 30;

bool ParseInt(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end;
}

// "H,V", each 95 to 105.
bool ParseStretch(std::string_view text, cover::CoverOptions& options)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return false;
    int h = 0;
    int v = 0;
    if (!ParseInt(text.substr(0, comma), h) || !ParseInt(text.substr(comma + 1), v))
        return false;
    const auto inRange = [](int s) { return s >= cover::kMinStretch && s <= cover::kMaxStretch; };
    if (!inRange(h) || !inRange(v))
        return false;
    options.horizontalStretch = h;
    options.verticalStretch = v;
    return true;
}

// "NAME,SIZE": the size after the last comma, from 1 to 400 points.
bool ParseFont(std::string_view text, std::string& name, int& points)
{
    const std::size_t comma = text.rfind(',');
    if (comma == std::string_view::npos || comma == 0)
        return false;
    if (!ParseInt(text.substr(comma + 1), points) || points < 1 || points > 400)
        return false;
    name.assign(text.substr(0, comma));
    return true;
}

std::size_t Utf8Characters(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

} // namespace

CoverCommand::CoverCommand()
    : Command(
          {.name = "cover",
           .summary = "write the CD cover of a volume's folders as a PDF page",
           .forms = {{"VOLUME_ROOT -o FILE.pdf [--label TEXT] [--collection FILE]",
                      "[--numbered] [--no-date] [--stretch H,V] [--font \"NAME,SIZE\"]"}},
           .options = {{"--output", "-o", "FILE.pdf", "the PDF file to write"},
                       {"--label", "", "TEXT", "the label on the spines (at most 30 characters)"},
                       {"--collection", "", "FILE",
                        "label the cover with the name of this collection's volume scanned "
                        "from VOLUME_ROOT"},
                       {"--numbered", "", "", "number the folders"},
                       {"--no-date", "", "", "leave out today's date"},
                       {"--stretch", "", "H,V",
                        "horizontal and vertical stretch in percent, 95 to 105 (100,100)"},
                       {"--font", "", "NAME,SIZE",
                        "the listing font and its size in points "
                        "(Arial,36)"}},
           .details = {"The page holds the front booklet and, below it, the back inlay with "
                       "its two spines, both listing the folders in VOLUME_ROOT."}})
{
}

int CoverCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                          CliContext& context) const
{
    std::vector<std::string> operands;
    std::string output;
    std::string collectionPath;
    cover::CoverOptions options;
    options.addDate = true;
    std::string fontName = "Arial";
    int fontPoints = 36;
    for (const Argument& arg : args) {
        const bool option = arg.kind == Argument::Kind::Option;
        if (arg.kind == Argument::Kind::Operand) {
            operands.push_back(arg.word);
        } else if (option && arg.Is("--output")) {
            output = arg.value();
        } else if (option && arg.Is("--label")) {
            if (Utf8Characters(arg.value()) > kMaxLabelCharacters) {
                err << "velmora-cli cover: the label is longer than 30 characters\n";
                return Usage(err);
            }
            options.customLabel = true;
            options.labelText = arg.value();
        } else if (option && arg.Is("--collection")) {
            collectionPath = arg.value();
        } else if (option && arg.Is("--numbered")) {
            options.numeration = true;
        } else if (option && arg.Is("--no-date")) {
            options.addDate = false;
        } else if (option && arg.Is("--stretch")) {
            if (!ParseStretch(arg.value(), options)) {
                err << "velmora-cli cover: --stretch takes H,V, each from 95 to 105\n";
                return Usage(err);
            }
        } else if (option && arg.Is("--font")) {
            if (!ParseFont(arg.value(), fontName, fontPoints)) {
                err << "velmora-cli cover: --font takes NAME,SIZE with a size of 1 to 400\n";
                return Usage(err);
            }
        } else if (arg.kind != Argument::Kind::EndOfOptions) {
            err << "velmora-cli cover: unexpected \"" << arg.word << "\"\n";
            return Usage(err);
        }
    }
    if (operands.size() != 1 || output.empty())
        return Usage(err);
    if (context.coverRenderer == nullptr) {
        err << "velmora-cli cover: this build cannot draw\n";
        return kFailed;
    }

    std::optional<CliCollection> opened;
    if (!collectionPath.empty()) {
        if (RefuseCollectionAsOutput(output, collectionPath, err, context))
            return kFailed;
        opened.emplace(collectionPath, err, context);
        if (!opened->Load())
            return kFailed;
    }

    const Services& services = context.services;
    const std::string& root = operands.front();
    const cover::CoverSources sources{services.files, services.volumes, services.locale,
                                      services.clock, opened ? &opened->tree() : nullptr};
    const cover::CoverContent content = cover::ReadCoverContent(sources, root, options);
    if (!content.folders) {
        err << "velmora-cli cover: cannot read the folder \"" << root << "\"\n";
        return kFailed;
    }

    cover::CoverRenderer& renderer = *context.coverRenderer;
    const int pixelsPerInch = renderer.pixelsPerInch();
    const cover::CoverFont font{.name = fontName,
                                .height = cover::CharacterHeight(fontPoints, pixelsPerInch)};
    const std::vector<cover::DrawOp> ops =
        cover::LayoutCover(cover::Dimensions(options.horizontalStretch, options.verticalStretch),
                           cover::kCoverPage, font, pixelsPerInch, content, renderer.measure());
    std::string pdf;
    if (!renderer.renderPdf(ops, context.texts.Text(texts::TextId::CdCoverCommand), pdf)) {
        TellNotSaved(err, context.texts, output);
        return kFailed;
    }

    return WriteWholeOutput(services.files, output, pdf, out, err, context.texts);
}

} // namespace velmora::cli

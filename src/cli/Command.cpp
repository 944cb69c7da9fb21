// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"

#include <ostream>

namespace velmora::cli {

namespace {

// Help texts break their lines before this width; usage texts keep the
// lines of their forms.
constexpr std::size_t kWidth = 80;
// The column of the summaries and option help lines.
constexpr std::size_t kColumn = 30;
// What comes before the program's name on the lines after the first of a
// usage text: as wide as "usage: ".
constexpr std::string_view kFurtherForm = "       ";

bool StartsWithDashes(std::string_view word)
{
    return word.substr(0, 2) == "--";
}

// Writes `line` broken into lines of at most kWidth characters, each
// further line after `indent` spaces. A line of a form breaks before an
// optional part ("[--name VALUE]") where it can, else at any blank; a word
// longer than the width stays whole.
void WriteWrapped(std::ostream& out, std::string_view line, std::size_t indent)
{
    while (line.size() > kWidth) {
        std::size_t blank = line.rfind(" [", kWidth - 1);
        if (blank == std::string_view::npos || blank <= indent)
            blank = line.rfind(' ', kWidth);
        if (blank == std::string_view::npos || blank <= indent)
            break;
        out << line.substr(0, blank) << '\n' << std::string(indent, ' ');
        line.remove_prefix(blank + 1);
    }
    out << line << '\n';
}

// `left`, then `text` in the column kColumn: on the same line when `left`
// leaves at least `gap` blanks before it, else on the next.
void WriteInColumn(std::ostream& out, const std::string& left, std::string_view text,
                   std::size_t gap)
{
    std::string line = left;
    if (left.size() + gap <= kColumn) {
        line.append(kColumn - left.size(), ' ');
    } else {
        out << left << '\n';
        line.assign(kColumn, ' ');
    }
    line += text;
    WriteWrapped(out, line, kColumn);
}

} // namespace

bool Option::TakesValues() const
{
    return valueName.size() > 3 && valueName.substr(valueName.size() - 3) == "...";
}

bool Argument::Is(std::string_view name) const
{
    return option != nullptr && option->name == name;
}

std::vector<std::string> Words(const std::vector<Argument>& args)
{
    std::vector<std::string> words;
    for (const Argument& arg : args) {
        words.push_back(arg.word);
        if (arg.kind != Argument::Kind::Option)
            continue;
        // A value given after "=" is part of the option's word.
        const bool joined = arg.word.find('=') != std::string::npos;
        for (std::size_t v = joined ? 1 : 0; v < arg.values.size(); ++v)
            words.push_back(arg.values[v]);
    }
    return words;
}

Command::Command(Description description) : description_(std::move(description)) {}

Command::~Command() = default;

std::string Command::fullName() const
{
    if (parent_ == nullptr)
        return std::string(name());
    return parent_->fullName() + ' ' + std::string(name());
}

int Command::Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
                 CliContext& context) const
{
    if (!subCommands_.empty()) {
        if (!words.empty() && words[0] == "--help") {
            PrintHelp(out);
            return kSuccess;
        }
        for (const std::unique_ptr<Command>& command : subCommands_) {
            if (!words.empty() && command->name() == words[0])
                return command->Run({words.begin() + 1, words.end()}, out, err, context);
        }
        return Usage(err);
    }
    bool help = false;
    const std::vector<Argument> args = ParseArguments(words, help);
    if (help) {
        PrintHelp(out);
        return kSuccess;
    }
    return Execute(args, out, err, context);
}

std::vector<Argument> Command::ParseArguments(const std::vector<std::string>& words,
                                              bool& help) const
{
    help = false;
    std::vector<Argument> args;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        Argument arg;
        arg.word = words[i];
        const std::string_view word = arg.word;
        if (optionsEnded || (description_.optionsFirst && !StartsWithDashes(word))) {
            optionsEnded = true;
            args.push_back(std::move(arg));
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            arg.kind = Argument::Kind::EndOfOptions;
            args.push_back(std::move(arg));
            continue;
        }
        if (word == "--help") {
            help = true;
            continue;
        }
        // Only a long name carries its value after "=".
        const std::size_t equals = StartsWithDashes(word) ? word.find('=') : std::string::npos;
        const std::string_view name = word.substr(0, equals);
        for (const Option& option : description_.options) {
            if (option.name == name || (equals == std::string::npos && option.shortName == name))
                arg.option = &option;
        }
        if (arg.option == nullptr || (equals != std::string::npos && !arg.option->TakesValue())) {
            arg.option = nullptr;
            if (word.size() > 1 && word[0] == '-')
                arg.kind = Argument::Kind::Unknown;
            args.push_back(std::move(arg));
            continue;
        }
        arg.kind = Argument::Kind::Option;
        if (arg.option->TakesValue()) {
            if (equals != std::string::npos)
                arg.values.emplace_back(word.substr(equals + 1));
            else if (!arg.option->TakesValues() && i + 1 < words.size())
                arg.values.push_back(words[++i]);
            if (arg.option->TakesValues()) {
                while (i + 1 < words.size() && !StartsWithDashes(words[i + 1]))
                    arg.values.push_back(words[++i]);
            }
            if (arg.values.empty())
                arg.kind = Argument::Kind::MissingValue;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

void Command::PrintForms(std::ostream& out, std::string_view usageWord, bool wrap) const
{
    std::vector<std::pair<std::string, const Form*>> forms;
    if (subCommands_.empty()) {
        for (const Form& form : description_.forms)
            forms.emplace_back(fullName(), &form);
    }
    for (const std::unique_ptr<Command>& command : subCommands_) {
        for (const Form& form : command->description_.forms)
            forms.emplace_back(command->fullName(), &form);
    }
    bool first = true;
    for (const auto& [name, form] : forms) {
        std::string lead = first ? std::string(usageWord) + ' ' : std::string(kFurtherForm);
        lead += "velmora-cli ";
        lead += name;
        first = false;
        const std::size_t indent = lead.size() + 1;
        for (std::size_t l = 0; l < form->size(); ++l) {
            const std::string_view part = (*form)[l];
            std::string line = l == 0 ? lead : std::string(indent, ' ');
            if (l == 0 && !part.empty())
                line += ' ';
            line += part;
            if (wrap)
                WriteWrapped(out, line, indent);
            else
                out << line << '\n';
        }
    }
    for (const std::string_view note : description_.notes)
        out << note << '\n';
}

void Command::PrintUsage(std::ostream& err) const
{
    if (parent_ != nullptr)
        parent_->PrintUsage(err);
    else
        PrintForms(err, "usage:", false);
}

int Command::Usage(std::ostream& err) const
{
    PrintUsage(err);
    return kUsage;
}

void Command::PrintHelp(std::ostream& out) const
{
    PrintForms(out, "Usage:", true);
    out << '\n' << summary() << '\n';
    if (!description_.details.empty())
        out << '\n';
    for (const std::string_view line : description_.details)
        out << line << '\n';
    if (!subCommands_.empty()) {
        out << "\nCommands:\n";
        for (const std::unique_ptr<Command>& command : subCommands_)
            command->PrintListing(out);
    }
    out << "\nOptions:\n";
    for (const Option& option : description_.options) {
        std::string left = "  ";
        if (!option.shortName.empty()) {
            left += option.shortName;
            left += ", ";
        }
        left += option.name;
        if (option.TakesValue()) {
            left += ' ';
            left += option.valueName;
        }
        WriteInColumn(out, left, option.help, 1);
    }
    WriteInColumn(out, "  --help", "show this help", 1);
}

void Command::PrintListing(std::ostream& out) const
{
    if (!subCommands_.empty()) {
        for (const std::unique_ptr<Command>& command : subCommands_)
            command->PrintListing(out);
        return;
    }
    const std::string name = fullName();
    const std::size_t indent = 2 + name.size() + 1;
    std::vector<std::string> lines;
    for (const Form& form : description_.forms) {
        for (std::size_t l = 0; l < form.size(); ++l) {
            std::string line = l == 0 ? "  " + name : std::string(indent, ' ');
            if (l == 0 && !form[l].empty())
                line += ' ';
            line += form[l];
            lines.push_back(std::move(line));
        }
    }
    // The summary goes on the line of a form of one short line, else on a
    // line of its own.
    const bool summaryJoins = lines.size() == 1 && lines.back().size() + 2 <= kColumn;
    for (std::size_t l = 0; l + (summaryJoins ? 1 : 0) < lines.size(); ++l)
        WriteWrapped(out, lines[l], indent);
    if (summaryJoins)
        WriteInColumn(out, lines.back(), summary(), 2);
    else
        out << std::string(kColumn, ' ') << summary() << '\n';
}

void Command::AddSubCommand(std::unique_ptr<Command> command)
{
    command->parent_ = this;
    subCommands_.push_back(std::move(command));
}

int Command::Execute(const std::vector<Argument>&, std::ostream&, std::ostream& err,
                     CliContext&) const
{
    return Usage(err);
}

} // namespace velmora::cli

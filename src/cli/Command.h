// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Cli.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

/// An option of a command. Parsing, the usage texts and COMMAND --help all
/// read it from here.
struct Option {
    /// The long name with its dashes ("--label"). A value follows as the
    /// next word ("--label X") or after "=" ("--label=X").
    std::string_view name;
    /// A short alias ("-c") or empty; its value is always the next word.
    std::string_view shortName;
    /// The value's placeholder in help texts ("L", "all|dirs|files"); empty
    /// for a switch, which takes no value. A name ending in "..." takes one
    /// or more values: the one after "=" or else the next word, and then
    /// every following word that does not start with "--".
    std::string_view valueName;
    /// One line for COMMAND --help.
    std::string_view help;

    bool TakesValue() const { return !valueName.empty(); }
    bool TakesValues() const;
};

/// One item of a parsed command line, in the order of the words.
struct Argument {
    enum class Kind {
        Operand,      ///< a word that is no option; every word after "--"
        Option,       ///< one of the command's options, with its values
        MissingValue, ///< one of the command's options without its value
        Unknown,      ///< a word that starts with "-" and is none of the options
        EndOfOptions, ///< "--"
    };

    Kind kind = Kind::Operand;
    /// The word as written: for an option its name ("--label", "-c") or the
    /// whole "--label=X".
    std::string word;
    /// For Option and MissingValue.
    const cli::Option* option = nullptr;
    /// For Option: one value, or one or more (Option::TakesValues()); none
    /// for a switch.
    std::vector<std::string> values;

    /// True for an Option or MissingValue item of the option named `name`
    /// (its long name).
    bool Is(std::string_view name) const;
    const std::string& value() const { return values.front(); }
};

/// Every word of the command line as written, in order. For the commands
/// that have no options: their operands may start with "-".
std::vector<std::string> Words(const std::vector<Argument>& args);

/// A command of velmora-cli: its name, summary, usage and options, and what
/// it does. The usage text of wrong usage, COMMAND --help and the parsing of
/// the words after the name all come from this description.
///
/// A command may instead consist of sub-commands ("tag show"): its words
/// then start with the sub-command's name, and its usage lists theirs.
class Command {
public:
    /// A form of the command line after "velmora-cli NAME", in the lines
    /// that its usage text breaks it into.
    using Form = std::vector<std::string_view>;

    struct Description {
        std::string_view name = {};
        /// One line for velmora-cli --help.
        std::string_view summary = {};
        /// The forms of the usage; a command of sub-commands has none of
        /// its own.
        std::vector<Form> forms = {};
        std::vector<Option> options = {};
        /// Lines the usage text ends with, as written.
        std::vector<std::string_view> notes = {};
        /// More lines for COMMAND --help, after the summary.
        std::vector<std::string_view> details = {};
        /// The options come before the operands: the first word that does
        /// not start with "--" ends them.
        bool optionsFirst = false;
    };

    explicit Command(Description description);
    virtual ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    std::string_view name() const { return description_.name; }
    /// The name after "velmora-cli": "tag write" for a sub-command.
    std::string fullName() const;
    std::string_view summary() const { return description_.summary; }

    /// Runs the command on the words after its name: "--help" among its
    /// options prints its help on `out` (exit 0); otherwise it parses the
    /// words and runs. Returns the exit code.
    [[nodiscard]] int Run(const std::vector<std::string>& words, std::ostream& out,
                          std::ostream& err, CliContext& context) const;

    /// Does the command's work on its parsed command line (without "--help")
    /// and returns the exit code. Wrong usage prints the usage text (Usage())
    /// after any message of its own. A command of sub-commands never gets
    /// here.
    [[nodiscard]] virtual int Execute(const std::vector<Argument>& args, std::ostream& out,
                                      std::ostream& err, CliContext& context) const;

    /// Splits `words` at the options, in their order. `help` is set when
    /// "--help" stands where an option may.
    std::vector<Argument> ParseArguments(const std::vector<std::string>& words, bool& help) const;

    /// The usage text of wrong usage: "usage: velmora-cli NAME FORM", a line
    /// "       velmora-cli NAME FORM" for each further form, then the notes.
    /// A sub-command prints the whole command's, which names every
    /// sub-command.
    void PrintUsage(std::ostream& err) const;
    /// COMMAND --help: its own usage text, with "Usage:" and long lines
    /// wrapped, the summary and details, the sub-commands, then the options.
    void PrintHelp(std::ostream& out) const;
    /// The command's entry in velmora-cli --help: its forms, then its
    /// summary in the column of the summaries.
    void PrintListing(std::ostream& out) const;

protected:
    /// Prints the usage text on `err` and returns kUsage.
    [[nodiscard]] int Usage(std::ostream& err) const;

    void AddSubCommand(std::unique_ptr<Command> command);

private:
    void PrintForms(std::ostream& out, std::string_view usageWord, bool wrap) const;

    Description description_;
    const Command* parent_ = nullptr;
    std::vector<std::unique_ptr<Command>> subCommands_;
};

} // namespace velmora::cli

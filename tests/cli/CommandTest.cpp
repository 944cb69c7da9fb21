// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::cli {
namespace {

using Kind = Argument::Kind;

class TestCommand final : public Command {
public:
    explicit TestCommand(bool optionsFirst = false)
        : Command({.name = "test",
                   .summary = "a command to parse with",
                   .forms = {{"SOURCE -c COLLECTION [--label L] [--tag TERM...] [--update]"}},
                   .options = {{"--collection", "-c", "COLLECTION", "the collection"},
                               {"--label", "", "L", "a label"},
                               {"--tag", "", "TERM...", "terms"},
                               {"--update", "", "", "a switch"}},
                   .optionsFirst = optionsFirst})
    {
    }

    int Execute(const std::vector<Argument>&, std::ostream&, std::ostream&,
                CliContext&) const override
    {
        return kSuccess;
    }
};

std::vector<Kind> Kinds(const std::vector<Argument>& args)
{
    std::vector<Kind> kinds;
    for (const Argument& arg : args)
        kinds.push_back(arg.kind);
    return kinds;
}

TEST(CommandTest, ValuesFollowAsTheNextWordOrAfterEquals)
{
    const TestCommand command;
    bool help = true;
    const std::vector<Argument> args =
        command.ParseArguments({"src", "--label=A=B", "-c", "--update", "--tag", "x=1", "-y",
                                "--update", "--tag=z", "w", "--collection=", "--label", "--help"},
                               help);
    EXPECT_FALSE(help);
    ASSERT_EQ(Kinds(args),
              (std::vector<Kind>{Kind::Operand, Kind::Option, Kind::Option, Kind::Option,
                                 Kind::Option, Kind::Option, Kind::Option, Kind::Option}));
    EXPECT_EQ(args[0].word, "src");
    EXPECT_TRUE(args[1].Is("--label"));
    EXPECT_EQ(args[1].values, std::vector<std::string>{"A=B"});
    EXPECT_TRUE(args[2].Is("--collection"));
    EXPECT_EQ(args[2].value(), "--update"); // the next word, whatever it is
    EXPECT_EQ(args[3].values, (std::vector<std::string>{"x=1", "-y"}));
    EXPECT_TRUE(args[4].Is("--update"));
    EXPECT_EQ(args[5].values, (std::vector<std::string>{"z", "w"}));
    EXPECT_EQ(args[6].value(), "");
    EXPECT_EQ(args[7].value(), "--help");
    EXPECT_EQ(Words(args), (std::vector<std::string>{"src", "--label=A=B", "-c", "--update",
                                                     "--tag", "x=1", "-y", "--update", "--tag=z",
                                                     "w", "--collection=", "--label", "--help"}));
}

TEST(CommandTest, UnknownMissingAndEndOfOptions)
{
    const TestCommand command;
    bool help = false;
    std::vector<Argument> args =
        command.ParseArguments({"--update=1", "-c=x", "-", "--tag", "--", "--help", "-z"}, help);
    EXPECT_FALSE(help);
    EXPECT_EQ(Kinds(args),
              (std::vector<Kind>{Kind::Unknown, Kind::Unknown, Kind::Operand, Kind::MissingValue,
                                 Kind::EndOfOptions, Kind::Operand, Kind::Operand}));
    EXPECT_TRUE(args[3].Is("--tag"));

    args = command.ParseArguments({"a", "--label"}, help);
    EXPECT_EQ(Kinds(args), (std::vector<Kind>{Kind::Operand, Kind::MissingValue}));
    EXPECT_FALSE(help);
    command.ParseArguments({"a", "--help", "b"}, help);
    EXPECT_TRUE(help);
}

TEST(CommandTest, OptionsFirstEndAtTheFirstOperand)
{
    const TestCommand command(true);
    bool help = false;
    const std::vector<Argument> args =
        command.ParseArguments({"--label=L", "--bad", "-x", "--label", "M", "--help"}, help);
    EXPECT_FALSE(help);
    EXPECT_EQ(Kinds(args), (std::vector<Kind>{Kind::Option, Kind::Unknown, Kind::Operand,
                                              Kind::Operand, Kind::Operand, Kind::Operand}));
}

} // namespace
} // namespace velmora::cli

// Options read against a table, as both programs read theirs: values after the option or
// attached, flags alone, and the words a person is told when a line is wrong.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "platform/foundation/option_table.hpp"

namespace {

constexpr foundation::OptionSpec table[] = {{"--family", true}, {"--quiet"}, {"--margin", true}};

// "name=value" per option read, or the error's message.
std::vector<std::string> read(std::vector<std::string_view> words) {
    auto given = foundation::readOptions(words, table, "option for serve");
    if (auto* error = std::get_if<foundation::UsageError>(&given)) return {error->message};
    std::vector<std::string> shown;
    for (const auto& option : std::get<std::vector<foundation::GivenOption>>(given))
        shown.push_back(std::string(option.spec.name) + "=" + std::string(option.value));
    return shown;
}

TEST(OptionTable, ReadsValuesFlagsAndTellsWhatIsWrong) {
    struct Case {
        std::vector<std::string_view> words;
        std::vector<std::string> read;
    };
    for (const Case& c : std::vector<Case>{
             {{}, {}},
             {{"--family", "small", "--quiet"}, {"--family=small", "--quiet="}},
             {{"--family=small", "--margin=0"}, {"--family=small", "--margin=0"}},
             // A value may look like an option; the one after "=" may hold another "=".
             {{"--family", "--quiet"}, {"--family=--quiet"}},
             {{"--family=a=b"}, {"--family=a=b"}},
             {{"--family="}, {"--family="}},
             {{"--family"}, {"--family needs a value"}},
             {{"--quiet=yes"}, {"--quiet takes no value"}},
             {{"--quiet", "--colour", "red"}, {"unknown option for serve: --colour"}},
             {{"small"}, {"unknown option for serve: small"}},
             {{"-q"}, {"unknown option for serve: -q"}},
         }) {
        EXPECT_EQ(read(c.words), c.read) << ::testing::PrintToString(c.words);
    }
}

}  // namespace

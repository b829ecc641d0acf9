// The program's command line.
#include <gtest/gtest.h>

#include <vector>

#include "keypad_app.h"

namespace quillpad::testing {
namespace {

std::optional<AppOptions> Parse(std::vector<const char*> args, std::string& error) {
    args.insert(args.begin(), "quillpad-config");
    return ParseAppOptions(static_cast<int>(args.size()), args.data(), error);
}

TEST(AppOptions, AcceptsOnlyItsThreeOptions) {
    std::string error;
    auto none = Parse({}, error);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->help || none->version || none->simulateFile);

    auto sim = Parse({"--simulate", "/tmp/state.bin"}, error);
    ASSERT_TRUE(sim);
    EXPECT_EQ(sim->simulateFile, "/tmp/state.bin");
    auto simEq = Parse({"--simulate=x.bin"}, error);
    ASSERT_TRUE(simEq);
    EXPECT_EQ(simEq->simulateFile, "x.bin");

    EXPECT_TRUE(Parse({"--help"}, error)->help);
    EXPECT_TRUE(Parse({"--version"}, error)->version);

    const struct {
        std::vector<const char*> args;
        const char* error;
    } bad[] = {
        {{"--simulate"}, "--simulate needs a file name"},
        {{"--simulate="}, "--simulate needs a file name"},
        {{"--simulate", "a.bin", "--simulate=b.bin"}, "--simulate is given twice"},
        {{"-platform", "offscreen"}, "unknown option '-platform'"},
        {{"file.bin"}, "unknown option 'file.bin'"},
    };
    for (const auto& b : bad) {
        error.clear();
        EXPECT_FALSE(Parse(b.args, error));
        EXPECT_EQ(error, b.error);
    }
}

}  // namespace
}  // namespace quillpad::testing

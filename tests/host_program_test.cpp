// The host program itself. No Linux driver offers its device, so every call that gets
// past the argument check ends at the open.

#include <gtest/gtest.h>

#include "tests/support/run_program.hpp"

namespace {

const char USAGE[] = "Example:\nquorvel.exe [mail|wifi] [on|off]:\n";

struct host_case {
    std::vector<std::string> arguments;
    int exit_status;
    const char* out;
};

TEST(host_program, without_a_device)
{
    const host_case cases[] = {
        {{}, 1, USAGE},
        {{"wifi"}, 1, USAGE},
        {{"wifi", "on", "now"}, 1, USAGE},
        {{"wifi", "on"}, 2, ""},
        {{"mail", "off"}, 2, ""},
        {{"lamp", "on"}, 2, ""},
    };
    for (const host_case& c : cases) {
        std::vector<std::string> argv = {QUORVEL_PROGRAM};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const program_result result = run_program(argv);
        EXPECT_EQ(result.exit_status, c.exit_status) << testing::PrintToString(c.arguments);
        EXPECT_EQ(result.out, c.out) << testing::PrintToString(c.arguments);
        EXPECT_EQ(result.err, "") << testing::PrintToString(c.arguments);
    }
}

}  // namespace

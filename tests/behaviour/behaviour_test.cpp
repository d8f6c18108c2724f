#include <ostream>

#include <gtest/gtest.h>

#include "tests/behaviour/cases.hpp"

// Names a case by its command line in test listings and failures.
void PrintTo(const behaviour_case& c, std::ostream* os)
{
    *os << "quorvel " << testing::PrintToString(c.arguments);
}

namespace {

class behaviour : public testing::TestWithParam<behaviour_case> {};

TEST_P(behaviour, matches_the_table)
{
    const behaviour_case& expected = GetParam();
    const observed_run run = run_quorvel(expected);

    EXPECT_EQ(run.program.signal, 0);
    EXPECT_EQ(run.program.exit_status, expected.exit_status);
    EXPECT_EQ(run.program.out, as_written(expected.out));
    EXPECT_EQ(run.program.err, "");
    EXPECT_EQ(run.opened, expected.opened);
    if (expected.request) {
        ASSERT_EQ(run.requests.size(), 1U);
        EXPECT_EQ(run.requests[0].method_name, expected.request->method_name);
        EXPECT_EQ(run.requests[0].argument_count, expected.request->argument_count);
        EXPECT_EQ(run.requests[0].value, expected.request->value);
    } else {
        EXPECT_TRUE(run.requests.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(table, behaviour, testing::ValuesIn(BEHAVIOUR_CASES),
                         [](const testing::TestParamInfo<behaviour_case>& row) {
                             return std::string(row.param.name);
                         });

}  // namespace

// The stand-in driver under Wine: what it does with requests quorvel never sends, and with
// many callers at once.

#include <algorithm>
#include <ostream>
#include <set>

#include <gtest/gtest.h>

#include "tests/wine/wine_session.hpp"

namespace {

const char* CLIENT = "standin/standin_client.exe";

struct bad_request {
    const char* kind;    // what the client bends
    const char* reason;  // the driver's word for it
    int error;           // what DeviceIoControl's caller sees
};

const bad_request BAD_REQUESTS[] = {
    {"control-code", "control-code", 1},     // ERROR_INVALID_FUNCTION
    {"in-short", "buffer-lengths", 87},      // ERROR_INVALID_PARAMETER
    {"in-long", "buffer-lengths", 87},
    {"out-short", "buffer-lengths", 87},
    {"out-none", "buffer-lengths", 87},
    {"header", "header", 87},
    {"argument-count", "argument-count", 87},
    {"block-length", "block-length", 87},
    {"method", "method", 2},                 // ERROR_FILE_NOT_FOUND
    {"address", "address", 1784},            // ERROR_INVALID_USER_BUFFER
    {"tag", "tag", 87},
    {"value-length", "value-length", 87},
};

void PrintTo(const bad_request& bad, std::ostream* os) { *os << bad.kind; }

class standin_refuses : public testing::TestWithParam<bad_request> {};

TEST_P(standin_refuses, and_goes_on_serving)
{
    const bad_request& bad = GetParam();
    set_driver(true, false);

    const std::size_t offset = driver_log_size();
    const program_result refused = run_under_wine(windows_build_path(CLIENT), {bad.kind});
    EXPECT_EQ(refused.exit_status, 1) << refused.out;
    EXPECT_EQ(refused.out, "refused: error " + std::to_string(bad.error) + "\r\n");
    const program_result accepted = run_under_wine(windows_build_path(CLIENT), {"good"});
    EXPECT_EQ(accepted.exit_status, 0) << accepted.out;

    const std::vector<log_entry> log = driver_log_since(offset);
    std::vector<const log_entry*> requests;
    for (const log_entry& entry : log)
        if (entry.event == "request")
            requests.push_back(&entry);
    ASSERT_EQ(requests.size(), 2U);
    EXPECT_EQ(requests[0]->fields.at("result"), "refused");
    EXPECT_EQ(requests[0]->fields.at("reason"), bad.reason);
    EXPECT_EQ(requests[1]->fields.at("result"), "accepted");
    EXPECT_EQ(requests[1]->fields.at("value"), "1");
}

INSTANTIATE_TEST_SUITE_P(kinds, standin_refuses, testing::ValuesIn(BAD_REQUESTS),
                         [](const testing::TestParamInfo<bad_request>& row) {
                             std::string name = row.param.kind;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(standin, serves_32_callers_at_once)
{
    set_driver(true, false);
    constexpr int RUNS = 32;
    const std::size_t offset = driver_log_size();

    std::vector<started_program> runs;
    for (int i = 0; i < RUNS; ++i) {
        const char* target = i % 2 == 0 ? "wifi" : "mail";
        const char* state = i / 2 % 2 == 0 ? "on" : "off";
        runs.push_back(start_program(
            under_wine(windows_build_path("quorvel.exe"), {target, state}), wine_environment()));
    }
    for (started_program& run : runs) {
        const program_result result = finish_program(run);
        EXPECT_EQ(result.exit_status, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "");
    }

    // The log is in the order the driver served them; the last of each method stands.
    int requests = 0;
    std::set<std::string> callers;
    std::string last_value[2];
    const log_entry* last = nullptr;
    for (const log_entry& entry : driver_log_since(offset)) {
        EXPECT_TRUE(entry.whole);
        if (entry.event != "request")
            continue;
        ++requests;
        last = &entry;
        callers.insert(entry.fields.at("pid"));
        EXPECT_EQ(entry.fields.at("result"), "accepted");
        last_value[entry.fields.at("method") == "MLED"] = entry.fields.at("value");
    }
    EXPECT_EQ(requests, RUNS);
    EXPECT_EQ(callers.size(), static_cast<std::size_t>(RUNS));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->fields.at("wireless"), last_value[0] == "1" ? "on" : "off");
    EXPECT_EQ(last->fields.at("mail"), last_value[1] == "0" ? "on" : "off");

    // The driver keeps the states across its restarts, as the lights would.
    const std::size_t restart = driver_log_size();
    set_driver(false, false);
    set_driver(true, false);
    const std::vector<log_entry> after = driver_log_since(restart);
    ASSERT_EQ(after.size(), 1U);
    EXPECT_EQ(after[0].event, "start");
    EXPECT_EQ(after[0].fields.at("wireless"), last->fields.at("wireless"));
    EXPECT_EQ(after[0].fields.at("mail"), last->fields.at("mail"));
}

}  // namespace

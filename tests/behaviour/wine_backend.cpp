// Runs the 64-bit quorvel.exe under Wine against the stand-in driver, and reads what the
// driver decoded from its log.

#include <gtest/gtest.h>

#include "tests/behaviour/cases.hpp"
#include "tests/wine/wine_session.hpp"

// The Windows C library writes a line feed in text mode as CR LF.
std::string as_written(const std::string& text)
{
    std::string written;
    for (const char c : text) {
        if (c == '\n')
            written += '\r';
        written += c;
    }
    return written;
}

observed_run run_quorvel(const behaviour_case& c)
{
    set_driver(c.device != device_state::absent, c.device == device_state::refusing);
    const std::size_t offset = driver_log_size();
    observed_run run{run_under_wine(windows_build_path("quorvel.exe"), c.arguments), false, {}};

    std::string pid;
    for (const log_entry& entry : driver_log_since(offset)) {
        EXPECT_TRUE(entry.whole) << "a broken log line";
        if (entry.event == "open") {
            run.opened = true;
            pid = entry.fields.at("pid");
            EXPECT_EQ(entry.fields.at("share"), "3");
            continue;
        }
        if (entry.event != "request") {
            ADD_FAILURE() << "the driver logged " << entry.event;
            continue;
        }
        EXPECT_EQ(entry.fields.at("pid"), pid) << "a request from a process that did not open";
        EXPECT_EQ(entry.fields.at("code"), "0x00222404");
        EXPECT_EQ(entry.fields.at("in"), "20");
        EXPECT_EQ(entry.fields.at("out"), "768");
        EXPECT_EQ(entry.fields.at("header"), "2");
        EXPECT_EQ(entry.fields.at("length"), "8");
        EXPECT_EQ(entry.fields.at("tag"), "0");
        EXPECT_EQ(entry.fields.at("value_length"), "4");
        const std::string expected_result =
            c.device == device_state::refusing ? "refused" : "accepted";
        EXPECT_EQ(entry.fields.at("result"), expected_result);
        run.requests.push_back({method_code(entry.fields.at("method")),
                                static_cast<std::uint32_t>(std::stoul(entry.fields.at("count"))),
                                static_cast<std::uint32_t>(std::stoul(entry.fields.at("value")))});
    }
    return run;
}

// Runs the program linked with the recording fake of the device services.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/behaviour/cases.hpp"
#include "tests/fake_device/fake_device.hpp"

namespace {

std::uint32_t word_at(const unsigned char* bytes)
{
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i)
        word = word << 8 | bytes[i];
    return word;
}

const char* mode_name(device_state state)
{
    switch (state) {
    case device_state::absent: return "absent";
    case device_state::refusing: return "refusing";
    case device_state::present: break;
    }
    return "present";
}

void check_open(const fake_open& open)
{
    EXPECT_STREQ(open.file_name, "\\\\.\\NUVACPI");
    EXPECT_EQ(open.desired_access, GENERIC_READ | GENERIC_WRITE);
    EXPECT_EQ(open.share_mode, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_TRUE(open.security_attributes_null);
    EXPECT_EQ(open.creation_disposition, OPEN_EXISTING);
    EXPECT_EQ(open.flags_and_attributes, 0U);
    EXPECT_TRUE(open.template_file_null);
}

method_call check_request(const fake_request& request)
{
    EXPECT_EQ(request.device, FAKE_HANDLE);
    EXPECT_EQ(request.control_code, 0x222404U);
    EXPECT_EQ(request.in_buffer_size, 20U);
    EXPECT_EQ(request.out_buffer_size, 768U);
    EXPECT_TRUE(request.bytes_returned_given);
    EXPECT_TRUE(request.overlapped_null);
    EXPECT_EQ(word_at(request.in_bytes), 2U);
    EXPECT_EQ(word_at(request.in_bytes + 12), 8U);
    EXPECT_TRUE(request.entry_found);
    const unsigned char entry_header[] = {0x00, 0x00, 0x04, 0x00};
    EXPECT_EQ(std::memcmp(request.entry_bytes, entry_header, sizeof entry_header), 0);
    return {word_at(request.in_bytes + 4), word_at(request.in_bytes + 8),
            word_at(request.entry_bytes + 4)};
}

}  // namespace

std::string as_written(const std::string& text) { return text; }

observed_run run_quorvel(const behaviour_case& c)
{
    char log_path[] = "/tmp/quorvel-fake-log-XXXXXX";
    const int log_fd = mkstemp(log_path);
    if (log_fd < 0)
        throw std::runtime_error("cannot create the fake's log file");
    close(log_fd);

    std::vector<std::string> argv = {QUORVEL_FAKE_PROGRAM};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    observed_run run{run_program(argv, {std::string("QUORVEL_FAKE_DEVICE=") + mode_name(c.device),
                                        std::string("QUORVEL_FAKE_LOG=") + log_path}),
                     false,
                     {}};

    fake_device_log log{};
    std::FILE* file = std::fopen(log_path, "rb");
    const bool logged = file != nullptr && std::fread(&log, sizeof log, 1, file) == 1;
    if (file != nullptr)
        std::fclose(file);
    std::remove(log_path);
    if (!logged) {
        ADD_FAILURE() << "the program left no log of its calls";
        return run;
    }

    EXPECT_LE(log.opens, 1);
    EXPECT_LE(log.requests, 1);
    for (int i = 0; i < log.opens && i < FAKE_RECORDED; ++i) {
        check_open(log.open[i]);
        run.opened = run.opened || log.open[i].succeeded;
    }
    for (int i = 0; i < log.requests && i < FAKE_RECORDED; ++i)
        run.requests.push_back(check_request(log.request[i]));
    return run;
}

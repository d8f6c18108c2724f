// The request bytes as the driver receives them, against the recording fake.

#include <array>
#include <ostream>
#include <cstring>

#include <gtest/gtest.h>

#include "firmware/method_request.hpp"
#include "tests/fake_device/fake_device.hpp"

// main owns the real one; here each test sets it as main would.
HANDLE device_handle;

namespace {

struct wire_case {
    const char* name;
    std::uint32_t method_name;
    std::uint32_t value;
    std::array<unsigned char, 16> request_head;  // the request before the address field
    std::array<unsigned char, 8> entry;
};

const wire_case WIRE_CASES[] = {
    {"wled_1", 0x44454C57, 1,
     {0x02, 0, 0, 0, 0x57, 0x4C, 0x45, 0x44, 0x01, 0, 0, 0, 0x08, 0, 0, 0},
     {0x00, 0x00, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00}},
    {"mled_0", 0x44454C4D, 0,
     {0x02, 0, 0, 0, 0x4D, 0x4C, 0x45, 0x44, 0x01, 0, 0, 0, 0x08, 0, 0, 0},
     {0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00}},
    {"any_value_little_endian", 0x44454C57, 0xA1B2C3D4,
     {0x02, 0, 0, 0, 0x57, 0x4C, 0x45, 0x44, 0x01, 0, 0, 0, 0x08, 0, 0, 0},
     {0x00, 0x00, 0x04, 0x00, 0xD4, 0xC3, 0xB2, 0xA1}},
};

void PrintTo(const wire_case& c, std::ostream* os) { *os << c.name; }

class method_request_wire : public testing::TestWithParam<wire_case> {
protected:
    void SetUp() override
    {
        fake_log = {};
        fake_mode = fake_device_mode::present;
        device_handle = FAKE_HANDLE;
    }
};

TEST_P(method_request_wire, sends_the_exact_bytes)
{
    const wire_case& c = GetParam();
    EXPECT_TRUE(call_firmware_method(c.method_name, 1, c.value));

    ASSERT_EQ(fake_log.requests, 1);
    const fake_request& sent = fake_log.request[0];
    EXPECT_EQ(sent.device, FAKE_HANDLE);
    EXPECT_EQ(sent.control_code, 0x222404U);
    EXPECT_EQ(sent.in_buffer_size, 20U);
    EXPECT_EQ(sent.out_buffer_size, 768U);
    EXPECT_TRUE(sent.bytes_returned_given);
    EXPECT_TRUE(sent.overlapped_null);
    EXPECT_EQ(std::memcmp(sent.in_bytes, c.request_head.data(), c.request_head.size()), 0);
    // Read by the fake while the call ran, from where the address field pointed.
    ASSERT_TRUE(sent.entry_found);
    EXPECT_EQ(std::memcmp(sent.entry_bytes, c.entry.data(), c.entry.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(cases, method_request_wire, testing::ValuesIn(WIRE_CASES),
                         [](const testing::TestParamInfo<wire_case>& row) {
                             return std::string(row.param.name);
                         });

TEST(method_request, failed_call_gives_false_and_says_nothing)
{
    fake_log = {};
    fake_mode = fake_device_mode::refusing;
    device_handle = FAKE_HANDLE;

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool accepted = call_firmware_method(0x44454C4D, 1, 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(accepted);
    EXPECT_EQ(fake_log.requests, 1);
}

TEST(method_request, unopened_device_gives_false)
{
    fake_log = {};
    fake_mode = fake_device_mode::present;
    device_handle = INVALID_HANDLE_VALUE;

    EXPECT_FALSE(call_firmware_method(0x44454C57, 1, 1));
    ASSERT_EQ(fake_log.requests, 1);
    EXPECT_EQ(fake_log.request[0].device, INVALID_HANDLE_VALUE);
}

}  // namespace

// The request that asks the firmware control driver to evaluate one control method of the
// machine's firmware, in the driver's own record layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/device_services.hpp"

// The opened control device, set once by main before the first request.
extern HANDLE device_handle;

// One entry of the argument block: an integer argument.
struct method_argument {
    std::uint16_t tag;
    std::uint16_t value_length;
    std::uint32_t value;
};

// The input buffer of the request. The argument block is not copied in: the driver reads
// it from the caller's memory at the address given here.
struct method_request {
    std::uint32_t header;
    std::uint32_t method_name;
    std::uint32_t argument_count;
    std::uint32_t argument_block_length;
    std::uint32_t argument_block_address;
};

static_assert(sizeof(method_argument) == 8);
static_assert(offsetof(method_argument, tag) == 0);
static_assert(offsetof(method_argument, value_length) == 2);
static_assert(offsetof(method_argument, value) == 4);

static_assert(sizeof(method_request) == 20);
static_assert(offsetof(method_request, header) == 0);
static_assert(offsetof(method_request, method_name) == 4);
static_assert(offsetof(method_request, argument_count) == 8);
static_assert(offsetof(method_request, argument_block_length) == 12);
static_assert(offsetof(method_request, argument_block_address) == 16);

constexpr DWORD EVAL_METHOD_CONTROL_CODE = 0x222404;

// Control codes pack device type, access, function and transfer method.
static_assert(EVAL_METHOD_CONTROL_CODE >> 16 == 0x22, "device of no predefined class");
static_assert((EVAL_METHOD_CONTROL_CODE >> 14 & 0x3) == 0, "any access");
static_assert((EVAL_METHOD_CONTROL_CODE >> 2 & 0xFFF) == 0x901, "function 0x901");
static_assert((EVAL_METHOD_CONTROL_CODE & 0x3) == 0, "buffered transfer");

// Asks the driver to evaluate the method named by its four-character code with one
// integer argument; true when the driver accepted and completed the request.
bool call_firmware_method(std::uint32_t method_name, std::uint32_t argument_count,
                          std::uint32_t value);

#include "firmware/method_request.hpp"

bool call_firmware_method(std::uint32_t method_name, std::uint32_t argument_count,
                          std::uint32_t value)
{
    // The request has room for only the low 32 bits of the entry's address. Request and
    // entry share one 32-byte-aligned block, which cannot straddle a 4 GiB boundary, so
    // whoever sees the request's own address can restore the entry's in full.
    struct alignas(32) {
        method_request request;
        method_argument argument;
    } frame{};

    frame.argument = {
        .tag = 0,
        .value_length = sizeof frame.argument.value,
        .value = value,
    };
    frame.request = {
        .header = 2,
        .method_name = method_name,
        .argument_count = argument_count,
        .argument_block_length = argument_count * std::uint32_t{sizeof(method_argument)},
        .argument_block_address =
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&frame.argument)),
    };

    unsigned char output[0x300];
    DWORD returned = 0;
    return DeviceIoControl(device_handle, EVAL_METHOD_CONTROL_CODE, &frame.request,
                           sizeof frame.request, output, sizeof output, &returned, nullptr) != 0;
}

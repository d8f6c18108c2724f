// Sends the stand-in driver one request of a given kind, well formed or bent in one way,
// so that tests can see what the driver does with requests quorvel never sends.
// Exit status: 0 when the driver accepted the request, 1 when it refused it, 2 when the
// request could not be made.

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "firmware/method_request.hpp"

namespace {

struct bent_request {
    const char* kind;
    DWORD control_code;
    DWORD in_size;
    DWORD out_size;
    std::uint32_t header;
    std::uint32_t method_name;
    std::uint32_t argument_count;
    std::uint32_t block_length;
    std::uint16_t tag;
    std::uint16_t value_length;
    bool unreadable_address;
};

constexpr std::uint32_t WLED = 0x44454C57;
constexpr std::uint32_t XLED = 0x44454C58;
constexpr DWORD CODE = EVAL_METHOD_CONTROL_CODE;

// kind              code        in  out  header method count length tag len unreadable
constexpr bent_request KINDS[] = {
    {"good",           CODE,      20, 768, 2, WLED, 1, 8,  0, 4, false},
    {"control-code",   CODE + 4,  20, 768, 2, WLED, 1, 8,  0, 4, false},
    {"in-short",       CODE,      16, 768, 2, WLED, 1, 8,  0, 4, false},
    {"in-long",        CODE,      24, 768, 2, WLED, 1, 8,  0, 4, false},
    {"out-short",      CODE,      20, 767, 2, WLED, 1, 8,  0, 4, false},
    {"out-none",       CODE,      20, 0,   2, WLED, 1, 8,  0, 4, false},
    {"header",         CODE,      20, 768, 3, WLED, 1, 8,  0, 4, false},
    {"argument-count", CODE,      20, 768, 2, WLED, 2, 16, 0, 4, false},
    {"block-length",   CODE,      20, 768, 2, WLED, 1, 16, 0, 4, false},
    {"method",         CODE,      20, 768, 2, XLED, 1, 8,  0, 4, false},
    {"address",        CODE,      20, 768, 2, WLED, 1, 8,  0, 4, true},
    {"tag",            CODE,      20, 768, 2, WLED, 1, 8,  1, 4, false},
    {"value-length",   CODE,      20, 768, 2, WLED, 1, 8,  0, 2, false},
};

}  // namespace

int main(int argc, char* argv[])
{
    const bent_request* bent = nullptr;
    for (const bent_request& kind : KINDS)
        if (argc == 2 && std::strcmp(argv[1], kind.kind) == 0)
            bent = &kind;
    if (bent == nullptr) {
        std::fputs("usage: standin_client KIND\n", stdout);
        return 2;
    }

    const HANDLE device = CreateFileA("\\\\.\\NUVACPI", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        std::printf("cannot open the device: error %lu\n", GetLastError());
        return 2;
    }

    // Room for two entries, and for a request longer than the record.
    method_argument entries[2] = {{bent->tag, bent->value_length, 1}, {0, 4, 1}};
    const auto entry_address = reinterpret_cast<std::uintptr_t>(entries);
    if (entry_address > 0xFFFFFFFF) {
        std::fputs("the stack lies above 4 GiB: the request cannot address it\n", stdout);
        return 2;
    }
    // The null page is never mapped.
    const auto address = bent->unreadable_address ? std::uint32_t{0x10}
                                                  : static_cast<std::uint32_t>(entry_address);
    std::uint32_t request[6] = {bent->header, bent->method_name, bent->argument_count,
                                bent->block_length, address, 0};

    unsigned char output[768];
    DWORD returned = 0;
    if (!DeviceIoControl(device, bent->control_code, request, bent->in_size, output,
                         bent->out_size, &returned, nullptr)) {
        std::printf("refused: error %lu\n", GetLastError());
        return 1;
    }
    std::puts("accepted");
    return 0;
}

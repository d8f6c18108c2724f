#include <cstring>

#include "tests/fake_device/fake_device.hpp"

fake_device_mode fake_mode = fake_device_mode::present;
fake_device_log fake_log;

namespace {

// The request holds the low 32 bits of the entry's address; the caller keeps the entry
// within the same 32-byte block, so the upper bits are the request's own.
const unsigned char* find_entry(const void* request, std::uint32_t low_bits)
{
    const auto request_address = reinterpret_cast<std::uintptr_t>(request);
    const std::uintptr_t upper_bits = request_address & ~std::uintptr_t{0xFFFFFFFF};
    const std::uintptr_t entry_address = upper_bits | low_bits;
    if (entry_address < (request_address & ~std::uintptr_t{31}) ||
        entry_address + 8 > (request_address | 31) + 1)
        return nullptr;
    return reinterpret_cast<const unsigned char*>(entry_address);
}

}  // namespace

HANDLE CreateFileA(const char* file_name, DWORD desired_access, DWORD share_mode,
                   SECURITY_ATTRIBUTES* security_attributes, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE template_file)
{
    const bool succeeded = fake_mode != fake_device_mode::absent;
    if (fake_log.opens < FAKE_RECORDED) {
        fake_open& open = fake_log.open[fake_log.opens];
        open = {};
        std::strncpy(open.file_name, file_name, sizeof open.file_name - 1);
        open.desired_access = desired_access;
        open.share_mode = share_mode;
        open.security_attributes_null = security_attributes == nullptr;
        open.creation_disposition = creation_disposition;
        open.flags_and_attributes = flags_and_attributes;
        open.template_file_null = template_file == nullptr;
        open.succeeded = succeeded;
    }
    ++fake_log.opens;
    return succeeded ? FAKE_HANDLE : INVALID_HANDLE_VALUE;
}

BOOL DeviceIoControl(HANDLE device, DWORD control_code, void* in_buffer, DWORD in_buffer_size,
                     void* out_buffer, DWORD out_buffer_size, DWORD* bytes_returned,
                     OVERLAPPED* overlapped)
{
    if (fake_log.requests < FAKE_RECORDED) {
        fake_request& request = fake_log.request[fake_log.requests];
        request = {};
        request.device = device;
        request.control_code = control_code;
        request.in_buffer_size = in_buffer_size;
        request.out_buffer_size = out_buffer_size;
        request.bytes_returned_given = bytes_returned != nullptr;
        request.overlapped_null = overlapped == nullptr;
        if (in_buffer != nullptr && in_buffer_size >= sizeof request.in_bytes) {
            std::memcpy(request.in_bytes, in_buffer, sizeof request.in_bytes);
            std::uint32_t address = 0;
            std::memcpy(&address, request.in_bytes + 16, sizeof address);
            if (const unsigned char* entry = find_entry(in_buffer, address)) {
                request.entry_found = true;
                std::memcpy(request.entry_bytes, entry, sizeof request.entry_bytes);
            }
        }
    }
    ++fake_log.requests;

    if (device != FAKE_HANDLE || fake_mode != fake_device_mode::present)
        return 0;
    // A driver answers into the output area; the caller must not depend on what it says.
    if (out_buffer != nullptr)
        std::memset(out_buffer, 0xA5, out_buffer_size);
    if (bytes_returned != nullptr)
        *bytes_returned = out_buffer_size;
    return 1;
}

// A recording fake of the Windows device services, linked in place of the platform's.
#pragma once

#include <cstdint>

#include "platform/device_services.hpp"

enum class fake_device_mode : std::uint8_t {
    absent,    // the device cannot be opened
    present,   // opens and accepts every request
    refusing,  // opens and refuses every request
};

struct fake_open {
    char file_name[32];
    DWORD desired_access;
    DWORD share_mode;
    bool security_attributes_null;
    DWORD creation_disposition;
    DWORD flags_and_attributes;
    bool template_file_null;
    bool succeeded;
};

struct fake_request {
    HANDLE device;
    DWORD control_code;
    DWORD in_buffer_size;
    DWORD out_buffer_size;
    bool bytes_returned_given;
    bool overlapped_null;
    unsigned char in_bytes[20];  // the first 20 bytes of the input buffer
    bool entry_found;            // the argument block address led next to the request
    unsigned char entry_bytes[8];
};

constexpr int FAKE_RECORDED = 4;

// Every call after the first FAKE_RECORDED is counted but not kept.
struct fake_device_log {
    int opens;
    fake_open open[FAKE_RECORDED];
    int requests;
    fake_request request[FAKE_RECORDED];
};

extern fake_device_mode fake_mode;
extern fake_device_log fake_log;

// The handle the fake hands out when the device opens.
inline HANDLE const FAKE_HANDLE = reinterpret_cast<HANDLE>(std::intptr_t{0x5eed});

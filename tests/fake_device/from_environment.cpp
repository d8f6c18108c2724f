// Lets a test run the fake-linked program as a process of its own: the fake's mode comes
// from QUORVEL_FAKE_DEVICE ("absent", "present" or "refusing"), and its log is written,
// as it stands in memory, to the file QUORVEL_FAKE_LOG names when the program exits.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/fake_device/fake_device.hpp"

namespace {

void write_log()
{
    const char* path = std::getenv("QUORVEL_FAKE_LOG");
    if (path == nullptr)
        return;
    if (std::FILE* file = std::fopen(path, "wb")) {
        std::fwrite(&fake_log, sizeof fake_log, 1, file);
        std::fclose(file);
    }
}

fake_device_mode mode_from_environment()
{
    const char* mode = std::getenv("QUORVEL_FAKE_DEVICE");
    if (mode != nullptr && std::strcmp(mode, "absent") == 0)
        return fake_device_mode::absent;
    if (mode != nullptr && std::strcmp(mode, "refusing") == 0)
        return fake_device_mode::refusing;
    return fake_device_mode::present;
}

const bool installed = [] {
    fake_mode = mode_from_environment();
    return std::atexit(write_log) == 0;
}();

}  // namespace

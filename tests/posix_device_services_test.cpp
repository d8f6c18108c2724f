// The POSIX stand-in for the Windows device services, against device nodes every Linux
// host has.

#include <cerrno>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/device_services.hpp"

namespace {

HANDLE open_device(const char* name, DWORD access = GENERIC_READ | GENERIC_WRITE,
                   DWORD disposition = OPEN_EXISTING)
{
    return CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition, 0,
                       nullptr);
}

int descriptor(HANDLE handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)); }

TEST(posix_device_services, opens_the_device_node_read_write_and_close_on_exec)
{
    const HANDLE device = open_device("\\\\.\\null");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    EXPECT_EQ(fcntl(descriptor(device), F_GETFL) & O_ACCMODE, O_RDWR);
    EXPECT_NE(fcntl(descriptor(device), F_GETFD) & FD_CLOEXEC, 0);
    close(descriptor(device));
}

TEST(posix_device_services, maps_the_desired_access)
{
    const struct {
        DWORD access;
        int mode;
    } cases[] = {{GENERIC_READ, O_RDONLY}, {GENERIC_WRITE, O_WRONLY}};
    for (const auto& c : cases) {
        const HANDLE device = open_device("\\\\.\\null", c.access);
        ASSERT_NE(device, INVALID_HANDLE_VALUE);
        EXPECT_EQ(fcntl(descriptor(device), F_GETFL) & O_ACCMODE, c.mode);
        close(descriptor(device));
    }
    EXPECT_EQ(open_device("\\\\.\\null", 0), INVALID_HANDLE_VALUE);
}

TEST(posix_device_services, refuses_names_outside_the_device_namespace)
{
    const char* names[] = {
        "\\\\.\\NUVACPI-not-here", "/dev/null",    "null",       "\\\\.\\",
        "\\\\.\\..",               "\\\\.\\.",      "\\\\.\\../dev/null",
        "\\\\.\\shm/../null",      "\\\\.\\a\\null", "\\\\?\\null",
    };
    for (const char* name : names)
        EXPECT_EQ(open_device(name), INVALID_HANDLE_VALUE) << name;
}

TEST(posix_device_services, opens_only_what_exists)
{
    EXPECT_EQ(open_device("\\\\.\\null", GENERIC_READ, 1 /* CREATE_NEW */), INVALID_HANDLE_VALUE);
}

TEST(posix_device_services, request_the_device_does_not_know_fails)
{
    const HANDLE device = open_device("\\\\.\\null");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    unsigned char in[20] = {};
    unsigned char out[768];
    DWORD returned = 7;
    EXPECT_EQ(DeviceIoControl(device, 0x222404, in, sizeof in, out, sizeof out, &returned, nullptr),
              0);
    EXPECT_EQ(errno, ENOTTY);
    EXPECT_EQ(returned, 7U);
    close(descriptor(device));
}

TEST(posix_device_services, request_on_no_device_fails)
{
    unsigned char in[20] = {};
    DWORD returned = 0;
    EXPECT_EQ(DeviceIoControl(INVALID_HANDLE_VALUE, 0x222404, in, sizeof in, nullptr, 0,
                              &returned, nullptr),
              0);
    EXPECT_EQ(errno, EBADF);
}

}  // namespace

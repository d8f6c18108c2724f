// The Windows device services on POSIX hosts. The device "\\.\NAME" is the device node
// /dev/NAME, and a device-control request reaches its driver as one ioctl carrying the
// control code, both buffers and both lengths.

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/device_services.hpp"

namespace {

// The argument of DEVICE_CONTROL, as a POSIX driver of such a device receives it.
struct device_control {
    std::uint32_t control_code;
    std::uint32_t in_buffer_size;
    std::uint32_t out_buffer_size;
    std::uint32_t bytes_returned;  // set by the driver
    std::uint64_t in_buffer;
    std::uint64_t out_buffer;
};

constexpr unsigned long DEVICE_CONTROL = _IOWR('N', 0x01, device_control);

constexpr char DEVICE_NAMESPACE[] = "\\\\.\\";
constexpr char DEVICE_DIRECTORY[] = "/dev/";

int open_flags(DWORD desired_access)
{
    const bool read = (desired_access & GENERIC_READ) != 0;
    const bool write = (desired_access & GENERIC_WRITE) != 0;
    if (read && write)
        return O_RDWR;
    if (read)
        return O_RDONLY;
    if (write)
        return O_WRONLY;
    return -1;
}

}  // namespace

// Share modes have no POSIX counterpart, and nothing here uses attributes or templates.
HANDLE CreateFileA(const char* file_name, DWORD desired_access, DWORD /*share_mode*/,
                   SECURITY_ATTRIBUTES* /*security_attributes*/, DWORD creation_disposition,
                   DWORD /*flags_and_attributes*/, HANDLE /*template_file*/)
{
    constexpr std::size_t namespace_length = sizeof DEVICE_NAMESPACE - 1;
    constexpr std::size_t directory_length = sizeof DEVICE_DIRECTORY - 1;
    const int flags = open_flags(desired_access);
    if (std::strncmp(file_name, DEVICE_NAMESPACE, namespace_length) != 0 ||
        creation_disposition != OPEN_EXISTING || flags < 0) {
        errno = EINVAL;
        return INVALID_HANDLE_VALUE;
    }

    // A device name is one path component: nothing may lead out of /dev.
    const char* device = file_name + namespace_length;
    const std::size_t device_length = std::strlen(device);
    if (device_length == 0 || std::strpbrk(device, "/\\") != nullptr ||
        std::strcmp(device, ".") == 0 || std::strcmp(device, "..") == 0) {
        errno = ENOENT;
        return INVALID_HANDLE_VALUE;
    }

    char path[PATH_MAX];
    if (directory_length + device_length >= sizeof path) {
        errno = ENAMETOOLONG;
        return INVALID_HANDLE_VALUE;
    }
    std::memcpy(path, DEVICE_DIRECTORY, directory_length);
    std::memcpy(path + directory_length, device, device_length + 1);

    const int fd = open(path, flags | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(std::intptr_t{fd});
}

BOOL DeviceIoControl(HANDLE device, DWORD control_code, void* in_buffer, DWORD in_buffer_size,
                     void* out_buffer, DWORD out_buffer_size, DWORD* bytes_returned,
                     OVERLAPPED* overlapped)
{
    if (overlapped != nullptr) {  // only synchronous requests are offered
        errno = EINVAL;
        return 0;
    }

    device_control control = {
        .control_code = control_code,
        .in_buffer_size = in_buffer_size,
        .out_buffer_size = out_buffer_size,
        .bytes_returned = 0,
        .in_buffer = reinterpret_cast<std::uintptr_t>(in_buffer),
        .out_buffer = reinterpret_cast<std::uintptr_t>(out_buffer),
    };
    const int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(device));
    if (ioctl(fd, DEVICE_CONTROL, &control) < 0)
        return 0;
    if (bytes_returned != nullptr)
        *bytes_returned = control.bytes_returned;
    return 1;
}

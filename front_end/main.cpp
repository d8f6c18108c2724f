// quorvel: switches the wireless or the mail indicator light on or off through the
// firmware control driver.

#include <cstdio>
#include <cstring>

#include "firmware/method_request.hpp"
#include "front_end/indicator_commands.hpp"

HANDLE device_handle;

namespace {

enum exit_status : int {
    SWITCHED = 0,
    USAGE = 1,
    NO_DEVICE = 2,
    REFUSED = 3,
};

int usage()
{
    std::fputs("Example:\n", stdout);
    std::fputs("quorvel.exe [mail|wifi] [on|off]:\n", stdout);
    return USAGE;
}

const indicator_command* find_command(const char* target)
{
    for (const indicator_command& command : INDICATOR_COMMANDS)
        if (std::strcmp(target, command.target) == 0)
            return &command;
    return nullptr;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 3)
        return usage();

    // Opened before the target is looked at: a missing device outranks a mistyped target.
    device_handle = CreateFileA("\\\\.\\NUVACPI", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (device_handle == INVALID_HANDLE_VALUE)
        return NO_DEVICE;

    const indicator_command* command = find_command(argv[1]);
    if (command == nullptr)
        return usage();

    const bool on = std::strcmp(argv[2], "on") == 0;
    const std::uint32_t value = on ? command->value_for_on : command->value_for_other_states;
    if (!call_firmware_method(command->method_name, 1, value))
        return REFUSED;

    // The handle is left open for the process's end to release.
    return SWITCHED;
}

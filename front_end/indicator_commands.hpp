// What each target switches and the value each state sends.
#pragma once

#include <cstdint>

// Firmware method names: four ASCII characters, the first in the least significant byte.
constexpr std::uint32_t WLED = 0x44454C57;
constexpr std::uint32_t MLED = 0x44454C4D;

struct indicator_command {
    const char* target;
    std::uint32_t method_name;
    std::uint32_t value_for_on;
    std::uint32_t value_for_other_states;
};

// The mail light's method runs the opposite way of the wireless light's: 0 switches it on.
constexpr indicator_command INDICATOR_COMMANDS[] = {
    {"wifi", WLED, 1, 0},
    {"mail", MLED, 0, 1},
};

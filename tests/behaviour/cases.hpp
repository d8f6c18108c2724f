// What quorvel must do for each command line and state of the device: one table, run
// against every build of the program that a test can start.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/run_program.hpp"

enum class device_state { present, absent, refusing };

struct method_call {
    std::uint32_t method_name;
    std::uint32_t argument_count;
    std::uint32_t value;
    bool operator==(const method_call&) const = default;
};

struct behaviour_case {
    const char* name;
    std::vector<std::string> arguments;
    device_state device;
    int exit_status;
    std::string out;
    bool opened;                        // the device was opened
    std::optional<method_call> request; // the one request sent, if any
};

extern const std::vector<behaviour_case> BEHAVIOUR_CASES;

// What a run did, as the device saw it.
struct observed_run {
    program_result program;
    bool opened;
    std::vector<method_call> requests;
};

// Each build under test links one of these: it runs the program on the case's arguments
// with the device in the case's state, and checks what it alone can see.
observed_run run_quorvel(const behaviour_case& c);

// The output the program writes for the table's text, as this build writes it.
std::string as_written(const std::string& text);

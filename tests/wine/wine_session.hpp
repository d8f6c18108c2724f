// Programs of the windows-x64 build run under Wine, against the stand-in driver, in the
// session that "scripts/wine-standin BUILD start" left running.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "tests/support/run_program.hpp"

// A path inside the windows-x64 build tree.
std::string windows_build_path(const std::string& relative);

// The Wine command line for a program of that build.
std::vector<std::string> under_wine(const std::string& program,
                                    const std::vector<std::string>& arguments);
std::vector<std::string> wine_environment();

program_result run_under_wine(const std::string& program,
                              const std::vector<std::string>& arguments);

// Puts the stand-in driver in the given state; does nothing when it is in it already.
void set_driver(bool running, bool refusing_all);

// One line of the driver's log: its event ("start", "open", "request") and its fields.
struct log_entry {
    std::string event;
    std::map<std::string, std::string> fields;
    bool whole;  // it ended as every line ends, with both indicator states or the share mode
};

std::size_t driver_log_size();
std::vector<log_entry> driver_log_since(std::size_t offset);

// A method name as the log writes it: its four characters, first in the low byte.
std::uint32_t method_code(const std::string& name);

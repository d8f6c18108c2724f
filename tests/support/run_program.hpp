// Runs a program to its end and captures what it did.
#pragma once

#include <string>
#include <vector>

struct program_result {
    int exit_status;  // -1 when the program did not exit by itself
    int signal;       // the signal that ended it, else 0
    std::string out;
    std::string err;
};

// argv[0] is the program's path; environment holds "NAME=value" entries added to ours.
program_result run_program(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment = {});

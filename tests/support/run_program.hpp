// Runs programs to their end and captures what they did.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include <sys/types.h>

struct program_result {
    int exit_status;  // -1 when the program did not exit by itself
    int signal;       // the signal that ended it, else 0
    std::string out;
    std::string err;
};

// A program started and not yet waited for. Its output goes to unlinked temporary files,
// so no pipe can fill up and stall it.
struct started_program {
    pid_t pid = 0;
    std::FILE* out = nullptr;
    std::FILE* err = nullptr;
};

// argv[0] is the program's path; environment holds "NAME=value" entries that take
// precedence over ours.
started_program start_program(const std::vector<std::string>& argv,
                              const std::vector<std::string>& environment = {});
program_result finish_program(started_program& program);

inline program_result run_program(const std::vector<std::string>& argv,
                                  const std::vector<std::string>& environment = {})
{
    started_program program = start_program(argv, environment);
    return finish_program(program);
}

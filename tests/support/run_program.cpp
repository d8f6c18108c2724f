#include "tests/support/run_program.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Captured through unlinked temporary files: no pipe can fill up and stall the child.
struct capture {
    std::FILE* file = std::tmpfile();
    ~capture()
    {
        if (file != nullptr)
            std::fclose(file);
    }
    std::string contents() const
    {
        std::string text;
        std::rewind(file);
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, got);
        return text;
    }
};

}  // namespace

program_result run_program(const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment)
{
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    // Ours come first: the first of two entries with one name is the one a program sees.
    std::vector<char*> variables;
    for (const std::string& variable : environment)
        variables.push_back(const_cast<char*>(variable.c_str()));
    for (char** variable = environ; *variable != nullptr; ++variable)
        variables.push_back(*variable);
    variables.push_back(nullptr);

    capture out;
    capture err;
    if (out.file == nullptr || err.file == nullptr)
        throw std::runtime_error("cannot create capture files");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(out.file), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fileno(err.file), STDERR_FILENO);

    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, arguments[0], &actions, nullptr, arguments.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv[0]);

    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            throw std::runtime_error("cannot wait for " + argv[0]);

    program_result result{-1, 0, out.contents(), err.contents()};
    if (WIFEXITED(status))
        result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

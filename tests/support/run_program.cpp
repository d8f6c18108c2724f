#include "tests/support/run_program.hpp"

#include <cerrno>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string contents(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

}  // namespace

started_program start_program(const std::vector<std::string>& argv,
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

    started_program program;
    program.out = std::tmpfile();
    program.err = std::tmpfile();
    if (program.out == nullptr || program.err == nullptr)
        throw std::runtime_error("cannot create capture files");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fileno(program.out), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fileno(program.err), STDERR_FILENO);
    const int spawned = posix_spawn(&program.pid, arguments[0], &actions, nullptr,
                                    arguments.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    return program;
}

program_result finish_program(started_program& program)
{
    int status = 0;
    while (waitpid(program.pid, &status, 0) < 0)
        if (errno != EINTR)
            throw std::runtime_error("cannot wait for a program");

    program_result result{-1, 0, contents(program.out), contents(program.err)};
    program.out = program.err = nullptr;
    if (WIFEXITED(status))
        result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    return result;
}

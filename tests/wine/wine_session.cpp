#include "tests/wine/wine_session.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const char SERVICE_KEY[] = "HKLM\\System\\CurrentControlSet\\Services\\nuvacpi_standin";

std::string prefix() { return windows_build_path("wine-prefix"); }

std::string log_path() { return prefix() + "/drive_c/nuvacpi-standin.log"; }

void wine_tool(const std::vector<std::string>& arguments, bool must_succeed = true)
{
    const program_result result =
        run_under_wine(arguments[0], {arguments.begin() + 1, arguments.end()});
    if (must_succeed && result.exit_status != 0)
        throw std::runtime_error("wine " + arguments[0] + " " + arguments[1] + " failed: " +
                                 result.out + result.err);
}

}  // namespace

std::string windows_build_path(const std::string& relative)
{
    return std::string(QUORVEL_WINDOWS_X64_DIR) + "/" + relative;
}

std::vector<std::string> under_wine(const std::string& program,
                                    const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv = {"/usr/lib/wine/wine64", program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

std::vector<std::string> wine_environment()
{
    return {"WINEPREFIX=" + prefix(), "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="};
}

program_result run_under_wine(const std::string& program,
                              const std::vector<std::string>& arguments)
{
    return run_program(under_wine(program, arguments), wine_environment());
}

void set_driver(bool running, bool refusing_all)
{
    enum class known { no, yes, unknown };
    static known is_running = known::unknown;
    static known is_refusing = known::unknown;

    const known want_refusing = refusing_all ? known::yes : known::no;
    if (is_refusing != want_refusing) {
        wine_tool({"reg", "add", SERVICE_KEY, "/v", "RefuseAll", "/t", "REG_DWORD", "/d",
                   refusing_all ? "1" : "0", "/f"});
        is_refusing = want_refusing;
    }
    const known want_running = running ? known::yes : known::no;
    if (is_running != want_running) {
        // Stopping a stopped driver, or starting a running one, fails harmlessly.
        wine_tool({"sc", running ? "start" : "stop", "nuvacpi_standin"}, false);
        is_running = want_running;
    }
}

std::size_t driver_log_size()
{
    struct stat status{};
    return stat(log_path().c_str(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

std::vector<log_entry> driver_log_since(std::size_t offset)
{
    std::ifstream file(log_path(), std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    std::vector<log_entry> entries;
    std::string text;
    while (std::getline(file, text)) {
        std::istringstream words(text);
        log_entry entry{};
        words >> entry.event;
        std::string word;
        std::string last;
        while (words >> word) {
            const std::size_t equals = word.find('=');
            if (equals != std::string::npos)
                entry.fields[word.substr(0, equals)] = word.substr(equals + 1);
            last = word.substr(0, equals);
        }
        entry.whole = last == (entry.event == "open" ? "share" : "mail");
        entries.push_back(entry);
    }
    return entries;
}

std::uint32_t method_code(const std::string& name)
{
    std::uint32_t code = 0;
    for (std::size_t i = name.size(); i-- > 0;)
        code = code << 8 | static_cast<unsigned char>(name[i]);
    return code;
}

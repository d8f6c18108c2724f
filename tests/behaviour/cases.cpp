#include "tests/behaviour/cases.hpp"

namespace {

constexpr std::uint32_t WLED = 0x44454C57;
constexpr std::uint32_t MLED = 0x44454C4D;

const std::string USAGE = "Example:\nquorvel.exe [mail|wifi] [on|off]:\n";

using enum device_state;

}  // namespace

const std::vector<behaviour_case> BEHAVIOUR_CASES = {
    // name                 arguments                  device  status output opened request
    {"no_arguments",        {},                        present,  1, USAGE, false, {}},
    {"one_argument",        {"wifi"},                  present,  1, USAGE, false, {}},
    {"three_arguments",     {"wifi", "on", "on"},      present,  1, USAGE, false, {}},
    {"four_arguments",      {"mail", "off", "x", "y"}, present,  1, USAGE, false, {}},
    {"wrong_count_no_device", {"wifi"},                absent,   1, USAGE, false, {}},

    {"wifi_on",             {"wifi", "on"},            present,  0, "",    true, {{WLED, 1, 1}}},
    {"wifi_off",            {"wifi", "off"},           present,  0, "",    true, {{WLED, 1, 0}}},
    {"mail_on",             {"mail", "on"},            present,  0, "",    true, {{MLED, 1, 0}}},
    {"mail_off",            {"mail", "off"},           present,  0, "",    true, {{MLED, 1, 1}}},

    // Only the exact text "on" is on.
    {"wifi_upper_case_on",  {"wifi", "ON"},            present,  0, "",    true, {{WLED, 1, 0}}},
    {"wifi_on_and_blank",   {"wifi", "on "},           present,  0, "",    true, {{WLED, 1, 0}}},
    {"wifi_cut_short_on",   {"wifi", "o"},             present,  0, "",    true, {{WLED, 1, 0}}},
    {"wifi_empty_state",    {"wifi", ""},              present,  0, "",    true, {{WLED, 1, 0}}},
    {"wifi_digit_state",    {"wifi", "1"},             present,  0, "",    true, {{WLED, 1, 0}}},
    {"mail_mixed_case_on",  {"mail", "On"},            present,  0, "",    true, {{MLED, 1, 1}}},
    {"mail_empty_state",    {"mail", ""},              present,  0, "",    true, {{MLED, 1, 1}}},
    // Taken as written, never as a pattern of file names.
    {"wildcard_state",      {"wifi", "*"},             present,  0, "",    true, {{WLED, 1, 0}}},

    // Only the exact targets name an indicator; the device is opened first all the same.
    {"upper_case_target",   {"WIFI", "on"},            present,  1, USAGE, true, {}},
    {"mixed_case_target",   {"Mail", "on"},            present,  1, USAGE, true, {}},
    {"longer_target",       {"wifi2", "on"},           present,  1, USAGE, true, {}},
    {"empty_target",        {"", "on"},                present,  1, USAGE, true, {}},
    {"state_for_target",    {"on", "wifi"},            present,  1, USAGE, true, {}},

    {"no_device_wifi",      {"wifi", "on"},            absent,   2, "",    false, {}},
    {"no_device_mail",      {"mail", "off"},           absent,   2, "",    false, {}},
    {"no_device_bad_target", {"WIFI", "on"},           absent,   2, "",    false, {}},

    // The request went out and the driver said no.
    {"refused_wifi_on",     {"wifi", "on"},            refusing, 3, "",    true, {{WLED, 1, 1}}},
    {"refused_mail_off",    {"mail", "off"},           refusing, 3, "",    true, {{MLED, 1, 1}}},
};

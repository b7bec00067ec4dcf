#include "host/CommandOptions.h"

#include <cerrno>
#include <cstdlib>

namespace KravikHost {

namespace {

// Checks a repeatable switch's text with the given parser; CLI11 reports the text it returns.
template <typename Switch>
CLI::Validator SwitchValidator(std::string (*parse)(const std::string&, Switch&))
{
    return CLI::Validator(
        [parse](std::string& text) {
            Switch parsed;
            return parse(text, parsed);
        },
        "");
}

std::string CountdownError(std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    const bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digitsOnly || errno != 0 || *end != '\0' || value == 0)
        return "K must be a positive number: " + text;
    return "";
}

template <typename Switch>
std::vector<Switch> ParseAll(const std::vector<std::string>& texts,
                             std::string (*parse)(const std::string&, Switch&))
{
    std::vector<Switch> result(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        parse(texts[i], result[i]); // already validated by CLI11
    return result;
}

} // namespace

const CLI::Validator NonEmptyPath(
    [](std::string& path) { return path.empty() ? std::string("the path is empty") : std::string(); }, "");

void AddFaultOptions(CLI::App* command, FaultSwitches& faults, FaultSwitchTexts& texts)
{
    const char* group = "Database faults and counts";
    command->add_option("--fail-call", faults.failCall, "Fail the K-th database call of the run")
        ->check(CLI::Validator(&CountdownError, ""))
        ->type_name("K")
        ->group(group);
    command->add_option("--fail-next", texts.failNext, "Fail the next N calls of operation OP (repeatable)")
        ->check(SwitchValidator(&ParseFailNext))
        ->type_name("OP=N")
        ->group(group);
    command->add_option("--fail-on", texts.failOn,
                        "Fail calls of OP on object INDEX (e.g. 5-0-49), every call or COUNT (repeatable)")
        ->check(SwitchValidator(&ParseFailOn))
        ->type_name("INDEX:OP[:COUNT]")
        ->group(group);
    command->add_flag("--count-calls", faults.countCalls,
                      "Print the database calls per operation to standard error after the run")
        ->group(group);
}

void ParseFaultTexts(const FaultSwitchTexts& texts, FaultSwitches& faults)
{
    faults.failNext = ParseAll(texts.failNext, &ParseFailNext);
    faults.failOn = ParseAll(texts.failOn, &ParseFailOn);
}

} // namespace KravikHost

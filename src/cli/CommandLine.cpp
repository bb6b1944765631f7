#include "cli/CommandLine.h"

namespace vantiro {
namespace {

bool isHelp(const std::string& arg)
{
    return arg == "-h" || arg == "--help";
}

} // namespace

CommandLine::CommandLine(const std::vector<std::string>& args,
                         const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flags)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size() && error_.empty(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg.front() != '-') {
            words_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (isHelp(arg))
            continue;
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool joined = equals != std::string::npos;
        if (name.size() < 3 || name.compare(0, 2, "--") != 0 ||
            (!valueOptions.count(name) && !flags.count(name))) {
            error_ = "Unbekannte Option " + name + ".";
        } else if (flags.count(name)) {
            if (joined)
                error_ = "Die Option " + name + " erwartet keinen Wert.";
            else
                flags_.insert(name);
        } else if (values_.count(name)) {
            error_ = "Die Option " + name + " ist doppelt angegeben.";
        } else if (joined) {
            values_[name] = arg.substr(equals + 1);
        } else if (i + 1 >= args.size()) {
            error_ = "Die Option " + name + " erwartet einen Wert.";
        } else {
            values_[name] = args[++i];
        }
    }
}

std::optional<std::string> CommandLine::value(const std::string& option) const
{
    const auto found = values_.find(option);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

std::string CommandLine::valueOr(const std::string& option, const std::string& fallback) const
{
    return value(option).value_or(fallback);
}

bool CommandLine::asksForHelp(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (isHelp(arg))
            return true;
    }
    return false;
}

} // namespace vantiro

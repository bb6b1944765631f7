#include "cli/CommandLine.h"

namespace vantiro {

CommandLine::CommandLine(const std::vector<std::string>& args,
                         const std::set<std::string>& valueOptions,
                         const std::set<std::string>& flags)
{
    for (size_t i = 0; i < args.size() && error_.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "--") {
            words_.push_back(arg);
        } else if (flags.count(arg)) {
            flags_.insert(arg);
        } else if (!valueOptions.count(arg)) {
            error_ = "unknown option " + arg;
        } else if (i + 1 >= args.size()) {
            error_ = "option " + arg + " needs a value";
        } else if (values_.count(arg)) {
            error_ = "option " + arg + " given twice";
        } else {
            values_[arg] = args[++i];
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

} // namespace vantiro

#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantiro {

// The options of one subcommand of the command-line tool, read the way GNU tools read theirs:
// "--name value" and "--name=value" options, "--flag" switches, plain words, and "--" ending
// the options so that a word may begin with a dash. "-h" and "--help" are always understood.
class CommandLine final {
public:
    CommandLine(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                const std::set<std::string>& flags);

    // Empty when the arguments were understood; otherwise a German sentence saying what is
    // wrong with them.
    const std::string& error() const { return error_; }

    // "-h" or "--help" stood among the options.

    std::optional<std::string> value(const std::string& option) const;
    std::string valueOr(const std::string& option, const std::string& fallback) const;
    bool flag(const std::string& option) const { return flags_.count(option) > 0; }
    const std::vector<std::string>& words() const { return words_; }

    // True when args ask for help before any "--"; for callers that answer before parsing.
    static bool asksForHelp(const std::vector<std::string>& args);

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> words_;
    std::string error_;
};

} // namespace vantiro

#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantiro {

// "--name value" options, "--flag" switches and plain words, for the command-line tool.
class CommandLine final {
public:
    CommandLine(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                const std::set<std::string>& flags);

    // Empty when the arguments were understood; otherwise what is wrong with them.
    const std::string& error() const { return error_; }

    std::optional<std::string> value(const std::string& option) const;
    std::string valueOr(const std::string& option, const std::string& fallback) const;
    bool flag(const std::string& option) const { return flags_.count(option) > 0; }
    const std::vector<std::string>& words() const { return words_; }

private:
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
    std::vector<std::string> words_;
    std::string error_;
};

} // namespace vantiro

#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantiro::test {

// Sets environment variables (std::nullopt unsets one) for the life of the object and puts the
// old values back at its end, whether the test passed, failed or stopped at an ASSERT.
class ScopedEnvironment final {
public:
    using Setting = std::pair<std::string, std::optional<std::string>>;

    ScopedEnvironment() = default;
    explicit ScopedEnvironment(std::initializer_list<Setting> settings)
    {
        for (const auto& [name, value] : settings)
            set(name, value);
    }
    ~ScopedEnvironment()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            apply(it->first, it->second);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value)
    {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

    std::vector<Setting> saved_;
};

} // namespace vantiro::test

#pragma once

#include "qt/platform/Shell.h"

#include <vector>

namespace vantiro::test {

// Records what would have been opened; `starts` false plays a desktop without a browser.
class FakeShell final : public Shell {
public:
    std::vector<QString> opened;
    bool starts = true;

    bool open(const QString& pathOrAddress) override
    {
        opened.push_back(pathOrAddress);
        return starts;
    }
};

} // namespace vantiro::test

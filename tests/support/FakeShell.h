#pragma once

#include "qt/platform/Shell.h"

#include <vector>

namespace vantiro::test {

// Records what would have been opened.
class FakeShell final : public Shell {
public:
    std::vector<QString> opened;

    void open(const QString& pathOrAddress) override { opened.push_back(pathOrAddress); }
};

} // namespace vantiro::test

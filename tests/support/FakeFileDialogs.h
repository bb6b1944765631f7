#pragma once

#include "qt/platform/FileDialogs.h"

#include <vector>

namespace vantiro::test {

// Answers every open-file dialog with `answer` (empty: cancelled) and records how it was asked.
class FakeFileDialogs final : public FileDialogs {
public:
    struct Call {
        QString initialFolder;
        QString filter;
    };

    QString answer;
    std::vector<Call> calls;

    QString openFile(const QString& initialFolder, const QString& filter) override
    {
        calls.push_back({initialFolder, filter});
        return answer;
    }
};

} // namespace vantiro::test

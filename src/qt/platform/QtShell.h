#pragma once

#include "qt/platform/Shell.h"

namespace vantiro {

// Hands documents and addresses to the desktop (xdg-open on Linux), which starts the viewer
// as a separate process: the window never waits for it.
class QtShell final : public Shell {
public:
    bool open(const QString& pathOrAddress) override;
};

} // namespace vantiro

#pragma once

#include <QString>

namespace vantiro {

// Opens a document or a web address with the desktop's program for it, without a shell and
// without waiting for that program.
class Shell {
public:
    virtual ~Shell() = default;

    // A local file path or an http(s) address. The result is not examined by any caller.
    virtual void open(const QString& pathOrAddress) = 0;
};

} // namespace vantiro

#pragma once

#include <QString>

namespace vantiro {

// Opens a document or a web address with the desktop's program for it, without a shell and
// without waiting for that program.
class Shell {
public:
    virtual ~Shell() = default;

    // A local file path or an http(s) address. False when no program could be started for it,
    // so that the caller can say so; a program that starts and then fails is not seen.
    virtual bool open(const QString& pathOrAddress) = 0;
};

} // namespace vantiro

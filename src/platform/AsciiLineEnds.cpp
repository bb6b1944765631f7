#include "platform/AsciiLineEnds.h"

namespace vantiro {

void AsciiLineEnds::convert(std::string_view piece, std::string& out)
{
    out.reserve(out.size() + piece.size() + piece.size() / 8);
    for (char c : piece) {
        if (direction_ == Direction::ToNetwork) {
            if (c == '\n' && !lastWasCr_)
                out += '\r';
            out += c;
        } else if (c == '\r') {
            if (lastWasCr_)
                out += '\r';
        } else {
            if (lastWasCr_ && c != '\n')
                out += '\r';
            out += c;
        }
        lastWasCr_ = c == '\r';
    }
}

void AsciiLineEnds::finish(std::string& out)
{
    if (direction_ == Direction::FromNetwork && lastWasCr_)
        out += '\r';
    lastWasCr_ = false;
}

} // namespace vantiro

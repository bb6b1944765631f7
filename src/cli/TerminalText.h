#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Text from a server (names, replies) or from the file system, made safe and readable for a
// UTF-8 terminal, on stdout and stderr alike.
class TerminalText final {
public:
    // Read as UTF-8 when valid, else as Windows-1252. Control characters (below the blank, DEL
    // and the C1 range) are escaped as "ls --quoting-style=escape" does: "\n", "\t" and the
    // like by letter, the rest as octal bytes ("\033"), and a backslash is doubled, so no byte
    // a server sends can move the cursor, retitle the window or clear the screen, and an
    // escape in a name cannot be mistaken for one that was made here. The Unicode controls of
    // writing direction (U+202E and its kin) are escaped the same way, byte by byte, so a name
    // cannot show itself backwards.
    static std::string escape(std::string_view bytes);
};

} // namespace vantiro

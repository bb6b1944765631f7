#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Remote names are the bytes the server sent. Most servers send UTF-8, older ones the Windows
// code page; a name that is valid UTF-8 is taken as UTF-8, any other as Windows-1252. A name is
// read into characters once, by its own encoding, and case mapping works on those characters,
// so that no name is broken up byte by byte or read in a second encoding after mapping.
bool isUtf8(std::string_view bytes);

// The characters of a name in the reading above.
std::u32string nameText(std::string_view name);

// Display text (UTF-8) of a name in upper or lower case.
std::string upperCaseText(std::string_view name);
std::string lowerCaseText(std::string_view name);

// The lower-cased name as Unicode code points. Keys are ordered as if each were padded with
// blanks to the width of the name field (see paddedKeyLess), without building padded copies.
std::u32string nameSortKey(std::string_view name);

// Character by character by Unicode value, the shorter key going on with blanks: a character
// below the blank (a control character) therefore sorts before the end of a key.
bool paddedKeyLess(std::u32string_view a, std::u32string_view b);

// False for a name that could leave the folder it is joined to or cut the path short: empty,
// ".", "..", or containing "/", "\" or a NUL. Such a name never becomes part of a local path.
bool isSafeLocalName(std::string_view name);

// The name of the local copy SHOW/OPEN makes of a remote file: letters, digits, ".", "-" and
// "_" of the remote name, everything else as "_", without leading dots and of bounded length.
std::string viewerCopyName(const std::string& name);

} // namespace vantiro

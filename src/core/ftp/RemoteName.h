#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Remote names are the bytes the server sent. Most servers send UTF-8, older ones the Windows
// code page; a name that is valid UTF-8 is taken as UTF-8, any other as Windows-1252. Case
// mapping works on the characters of that reading and keeps the encoding, so that a UTF-8 name
// is never broken up byte by byte.
bool IsUtf8(std::string_view bytes);

std::string UpperCaseName(std::string_view name);
std::string LowerCaseName(std::string_view name);

// The lower-cased name as Unicode code points, padded with blanks to width characters, so that
// two keys compare character by character by their Unicode values.
std::u32string NameSortKey(std::string_view name, std::size_t width);

// False for a name that could leave the folder it is joined to or cut the path short: empty,
// ".", "..", or containing "/", "\" or a NUL. Such a name never becomes part of a local path.
bool IsSafeLocalName(std::string_view name);

} // namespace vantiro

#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// The font-family value for a family name as the font dialog reports it (Windows-1252):
// - the foundry that Qt appends when several foundries offer a family ("Nimbus Sans [URW]")
//   is dropped, since no browser knows it;
// - Qt's and fontconfig's generic families become CSS's generic names ("Sans Serif" gives
//   sans-serif), which every browser resolves;
// - any other name stays as typed, and is put in double quotes when CSS would not read it
//   unquoted as that one family (a digit at the start of a word, punctuation, a keyword such as
//   "inherit", doubled blanks).
std::string cssFontFamily(std::string_view family);

} // namespace vantiro

#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantiro {

class KeywordList;
class Random;

// The file names of a run's pages. Page 1 is always "vorschau.htm"; the others are numbered
// ("file2.htm") or made from a randomly drawn keyword.
//
// Names are made unique within the run, letter case ignored, so that no page replaces another
// and the preview and the index page keep their names: a taken name gets "_2", "_3", ...
// before ".htm". Leading dots are dropped, since they would hide the file; a keyword that
// leaves nothing after cleaning gives the numbered name. A name that would be longer than a
// file name may be (255 bytes) is shortened before its suffix and ".htm".
inline constexpr size_t maxPageNameBytes = 255;

std::vector<std::string> makePageNames(int pageCount, bool keywordNames,
                                       const KeywordList& keywords, Random& random);

} // namespace vantiro

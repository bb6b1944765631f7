#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantiro {

// The order in which the listing's exchange sort leaves entries with these keys (keys compared
// by paddedKeyLess): position p of the result holds the index of the key that ends at p.
//
// The sort it reproduces runs, for i and j from 0 to m - 1, "if key(j) > key(i), swap i and j".
// That costs m * m comparisons, too many for folders of a hundred thousand entries, and its order
// of equal keys is not that of any standard sort, so it is computed differently: after the first
// outer pass, which is done as written (m comparisons), each later pass i adds entry i at the end
// of the run of entries with its key and turns every run with a greater key by one place (its
// first entry moves to its end). The turns are counted per run and carried out when the run is
// next touched. The cost is O(m log m) plus the carried-out turns, each at most one per entry of
// its run and at most one per entry added meanwhile.
std::vector<std::size_t> exchangeSortOrder(const std::vector<std::u32string>& keys);

} // namespace vantiro

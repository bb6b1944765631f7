#include "core/ftp/ExchangeSort.h"

#include "core/ftp/RemoteName.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace vantiro {
namespace {

// Counts of added entries per key rank, summed over the ranks below a given one.
class RankCounts final {
public:
    explicit RankCounts(std::size_t ranks) : tree_(ranks + 1, 0) {}

    void add(std::size_t rank)
    {
        for (std::size_t i = rank + 1; i < tree_.size(); i += i & (~i + 1))
            ++tree_[i];
    }

    std::size_t below(std::size_t rank) const
    {
        std::size_t sum = 0;
        for (std::size_t i = rank; i > 0; i -= i & (~i + 1))
            sum += tree_[i];
        return sum;
    }

private:
    std::vector<std::size_t> tree_;
};

// The entries of one key in their current order, kept as a queue (turning moves the first entry
// to the end), and how many entries with a smaller key had been added when its turns were last
// carried out. A plain vector with a head index: no allocation for the many runs of one entry.
class Run final {
public:
    void add(std::size_t entry) { entries_.push_back(entry); }

    void catchUp(std::size_t smallerNow)
    {
        const std::size_t turns = smallerNow - smallerSeen_;
        smallerSeen_ = smallerNow;
        const std::size_t size = entries_.size() - head_;
        if (size < 2)
            return;
        for (std::size_t k = turns % size; k > 0; --k)
            entries_.push_back(entries_[head_++]);
        if (head_ > size) {
            entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
    }

    void appendTo(std::vector<std::size_t>& order) const
    {
        order.insert(order.end(), entries_.begin() + static_cast<std::ptrdiff_t>(head_),
                     entries_.end());
    }

private:
    std::vector<std::size_t> entries_;
    std::size_t head_ = 0;
    std::size_t smallerSeen_ = 0;
};

// Rank of each key among the distinct keys, equal keys sharing one.
std::vector<std::size_t> keyRanks(const std::vector<std::u32string>& keys, std::size_t& count)
{
    std::vector<std::size_t> byKey(keys.size());
    std::iota(byKey.begin(), byKey.end(), std::size_t{0});
    std::sort(byKey.begin(), byKey.end(),
              [&keys](std::size_t a, std::size_t b) { return paddedKeyLess(keys[a], keys[b]); });
    std::vector<std::size_t> ranks(keys.size());
    count = 0;
    for (std::size_t k = 0; k < byKey.size(); ++k) {
        if (k > 0 && paddedKeyLess(keys[byKey[k - 1]], keys[byKey[k]]))
            ++count;
        ranks[byKey[k]] = count;
    }
    if (!keys.empty())
        ++count;
    return ranks;
}

} // namespace

std::vector<std::size_t> exchangeSortOrder(const std::vector<std::u32string>& keys)
{
    const std::size_t m = keys.size();
    std::vector<std::size_t> order(m);
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (m == 0)
        return order;

    // The first outer pass as written: it brings the first of the greatest keys to the front
    // and moves others about on the way.
    for (std::size_t j = 0; j < m; ++j) {
        if (paddedKeyLess(keys[order[0]], keys[order[j]]))
            std::swap(order[0], order[j]);
    }

    std::size_t rankCount = 0;
    const std::vector<std::size_t> ranks = keyRanks(keys, rankCount);
    std::vector<Run> runs(rankCount);
    RankCounts added(rankCount);
    // Pass i leaves every position after i alone, so entry i is still the one the first pass
    // left there.
    for (const std::size_t entry : order) {
        const std::size_t rank = ranks[entry];
        runs[rank].catchUp(added.below(rank));
        runs[rank].add(entry);
        added.add(rank);
    }

    std::vector<std::size_t> result;
    result.reserve(m);
    for (std::size_t rank = 0; rank < rankCount; ++rank) {
        runs[rank].catchUp(added.below(rank));
        runs[rank].appendTo(result);
    }
    return result;
}

} // namespace vantiro

#include "core/rules/ExchangeSort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/base/TwoCores.h"

// How the exchange procedure's result is found without running it.
//
// Pass i walks the chain of strict running minima of lines i..n-1: the last link (the first
// occurrence of the minimum) goes to position i and every other link moves to the place of
// the next one. Seen on the lines whose key is at most some v, a pass is a pass of the same
// procedure over those lines alone, so lines of different keys simply end up sorted. Within
// a group of equal keys only the order is in question. A group line moves only when it is
// the first remaining line at or below its key, and then it jumps to the place of the first
// smaller line: the leading run of R group lines rotates left by one for every smaller line
// consumed behind it, and merges with the next group line when those run out. So, walking
// the group in its original order, each line joins the end of the run and the run rotates
// left by the number of smaller lines between this group line and the next (or the end).

namespace edlt {

int compareKeyBytes(std::string_view a, std::string_view b)
{
    const size_t common = std::min(a.size(), b.size());
    if (common > 0) {
        // memcmp compares as unsigned char, which puts Greek letters after Latin ones.
        if (const int c = std::memcmp(a.data(), b.data(), common); c != 0) return c < 0 ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {

// Binary indexed tree over 0/1 marks: counts marks before a position and finds the
// n-th mark.
class MarkTree {
public:
    void assignZeros(size_t size) { tree_.assign(size + 1, 0); }

    void assignOnes(size_t size)
    {
        tree_.assign(size + 1, 0);
        for (size_t i = 1; i <= size; ++i) {
            tree_[i] += 1;
            if (const size_t parent = i + (i & -i); parent <= size) tree_[parent] += tree_[i];
        }
    }

    void add(size_t pos, int delta)
    {
        for (size_t i = pos + 1; i < tree_.size(); i += i & -i) tree_[i] += delta;
    }

    // Marks at positions [0, pos).
    size_t countBefore(size_t pos) const
    {
        size_t sum = 0;
        for (size_t i = pos; i > 0; i -= i & -i) sum += static_cast<size_t>(tree_[i]);
        return sum;
    }

    // The position of the mark with nth marks before it; nth must be below the total.
    size_t findNth(size_t nth) const
    {
        size_t pos = 0;
        size_t step = 1;
        while (step * 2 < tree_.size()) step *= 2;
        for (; step > 0; step /= 2) {
            const size_t next = pos + step;
            if (next < tree_.size() && static_cast<size_t>(tree_[next]) <= nth) {
                pos = next;
                nth -= static_cast<size_t>(tree_[next]);
            }
        }
        return pos;
    }

private:
    std::vector<int> tree_;
};

// The order a group of equal keys leaves in. smallerAfter[j] is the number of lines with a
// smaller key between the group's j-th line and its next one (or the end); the result lists
// the group's members (0..k-1 in their original order) as the procedure leaves them.
//
// The run is kept as a cycle: a list L and a head h, the run reading L[h..] then L[..h].
// Joining the end of the run is inserting before the head, a rotation moves the head, so
// the insertion places depend only on the counts and L is built offline at the end.
void orderGroup(const std::vector<size_t>& smallerAfter, MarkTree& slots, std::vector<size_t>& insertAt,
                std::vector<size_t>& result)
{
    const size_t k = smallerAfter.size();
    insertAt.resize(k);
    size_t head = 0;
    for (size_t j = 0; j < k; ++j) {
        insertAt[j] = head;
        const size_t runLength = j + 1;
        head = (head + 1 + smallerAfter[j] % runLength) % runLength;
    }

    // Replayed backwards, each insertion takes the free slot with insertAt[j] free slots
    // before it: the lines inserted earlier fill the rest in their own order.
    std::vector<size_t> list(k);
    slots.assignOnes(k);
    for (size_t j = k; j-- > 0;) {
        const size_t slot = slots.findNth(insertAt[j]);
        list[slot] = j;
        slots.add(slot, -1);
    }

    result.clear();
    result.insert(result.end(), list.begin() + static_cast<std::ptrdiff_t>(head), list.end());
    result.insert(result.end(), list.begin(), list.begin() + static_cast<std::ptrdiff_t>(head));
}

struct SortItem {
    uint64_t head;  // the key's first 8 bytes, big-endian, zero-padded: most comparisons end here
    std::string_view key;
    size_t index;
};

uint64_t headOf(std::string_view key)
{
    uint64_t h = 0;
    for (size_t i = 0; i < 8; ++i) h = (h << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return h;
}

// Key, then original index: a total order, so how the work is split cannot change the result.
bool itemBefore(const SortItem& a, const SortItem& b)
{
    if (a.head != b.head) return a.head < b.head;
    const int c = compareKeyBytes(a.key, b.key);
    return c < 0 || (c == 0 && a.index < b.index);
}

}  // namespace

std::vector<size_t> exchangeSortOrder(const std::vector<std::string_view>& keys)
{
    const size_t n = keys.size();
    std::vector<SortItem> items(n);
    for (size_t i = 0; i < n; ++i) items[i] = {headOf(keys[i]), keys[i], i};
    // Equal keys keep their original order here; that is where their groups start from.
    // Two cores: each sorts a half, then one merges.
    const auto middle = items.begin() + static_cast<std::ptrdiff_t>(n / 2);
    runBoth(
        n >= 20000, [&] { std::sort(items.begin(), middle, itemBefore); },
        [&] { std::sort(middle, items.end(), itemBefore); });
    std::inplace_merge(items.begin(), middle, items.end(), itemBefore);

    std::vector<size_t> perm(n);
    std::vector<size_t> groupStarts;
    bool anyGroup = false;
    for (size_t i = 0; i < n; ++i) {
        perm[i] = items[i].index;
        if (i == 0 || items[i].key != items[i - 1].key) groupStarts.push_back(i);
        else
            anyGroup = true;
    }
    if (!anyGroup) return perm;
    groupStarts.push_back(n);

    // Original positions of the lines with keys below the current group's.
    MarkTree smaller;
    smaller.assignZeros(n);
    MarkTree slots;
    std::vector<size_t> smallerAfter, insertAt, order, members;
    for (size_t g = 0; g + 1 < groupStarts.size(); ++g) {
        const size_t begin = groupStarts[g];
        const size_t end = groupStarts[g + 1];
        if (end - begin > 1) {
            members.assign(perm.begin() + static_cast<std::ptrdiff_t>(begin),
                           perm.begin() + static_cast<std::ptrdiff_t>(end));
            smallerAfter.resize(members.size());
            size_t before = smaller.countBefore(members[0]);
            for (size_t j = 0; j < members.size(); ++j) {
                const size_t next = j + 1 < members.size() ? members[j + 1] : n;
                const size_t upTo = smaller.countBefore(next);
                smallerAfter[j] = upTo - before;
                before = upTo;
            }
            orderGroup(smallerAfter, slots, insertAt, order);
            for (size_t j = 0; j < order.size(); ++j) perm[begin + j] = members[order[j]];
        }
        for (size_t i = begin; i < end; ++i) smaller.add(perm[i], 1);
    }
    return perm;
}

}  // namespace edlt

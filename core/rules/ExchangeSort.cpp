// SPDX-License-Identifier: GPL-3.0-or-later
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

// A line in the key sort: eight bytes of its key from the current depth on, big-endian and
// zero-padded, and how many real bytes they are (9: the key goes on beyond them). Items with
// equal (head, length) at one depth are sorted on at the next; equal keys stay in their
// original order.
struct SortItem {
    uint64_t head;
    uint32_t index;
    uint8_t length;
};
static_assert(sizeof(SortItem) == 16);

constexpr size_t headBytes = 8;

// The keys: each text from byte skip on (empty when shorter).
struct Keys {
    const std::vector<std::string_view>& texts;
    size_t skip;
    std::string_view operator[](size_t i) const { return texts[i].substr(std::min(skip, texts[i].size())); }
};

void loadHead(SortItem& item, std::string_view key, size_t depth)
{
    const size_t left = key.size() > depth ? key.size() - depth : 0;
    uint64_t h = 0;
    if (left >= headBytes) {
        std::memcpy(&h, key.data() + depth, headBytes);
        h = __builtin_bswap64(h);
    } else {
        for (size_t i = 0; i < headBytes; ++i)
            h = (h << 8) | (i < left ? static_cast<unsigned char>(key[depth + i]) : 0u);
    }
    item.head = h;
    item.length = static_cast<uint8_t>(std::min(left, headBytes + 1));
}

bool itemBefore(const SortItem& a, const SortItem& b)
{
    if (a.head != b.head) return a.head < b.head;
    if (a.length != b.length) return a.length < b.length;
    return a.index < b.index;
}

bool sameHead(const SortItem& a, const SortItem& b)
{
    return a.head == b.head && a.length == b.length;
}

// Sorts items already sorted on their heads at depth: every run of equal heads whose keys go
// on is sorted on the next eight bytes, and so on down. equalToPrevious[k] is set where the
// item at k has the whole key of the one before it.
void sortRuns(SortItem* begin, SortItem* end, const Keys& keys, size_t depth, std::vector<uint8_t>& equalToPrevious,
              const SortItem* base)
{
    for (SortItem* run = begin; run != end;) {
        SortItem* runEnd = run + 1;
        while (runEnd != end && sameHead(*runEnd, *run)) ++runEnd;
        if (runEnd - run > 1) {
            if (run->length > headBytes) {
                bool alike = true;
                for (SortItem* item = run; item != runEnd; ++item) {
                    // The keys lie anywhere in memory: the one a few items ahead is fetched early.
                    if (runEnd - item > 8) __builtin_prefetch(keys[(item + 8)->index].data() + depth + headBytes);
                    loadHead(*item, keys[item->index], depth + headBytes);
                    alike = alike && sameHead(*item, *run);
                }
                // Alike heads keep the original order they are in: no sort needed.
                if (!alike) std::sort(run, runEnd, itemBefore);
                sortRuns(run, runEnd, keys, depth + headBytes, equalToPrevious, base);
            } else {
                // The keys end here, all alike: the original order, which itemBefore kept.
                for (SortItem* item = run + 1; item != runEnd; ++item)
                    equalToPrevious[static_cast<size_t>(item - base)] = 1;
            }
        }
        run = runEnd;
    }
}

std::vector<size_t> exchangeSortOrderOf(const Keys& keys)
{
    const size_t n = keys.texts.size();
    std::vector<SortItem> items(n);
    for (size_t i = 0; i < n; ++i) {
        items[i].index = static_cast<uint32_t>(i);
        loadHead(items[i], keys[i], 0);
    }
    // On the first eight bytes, a half on each core, merged on one; then the runs of equal
    // heads split between the cores where a run starts near the middle.
    const bool split = n >= 20000;
    SortItem* const first = items.data();
    SortItem* const last = first + n;
    SortItem* middle = first + n / 2;
    runBoth(
        split, [&] { std::sort(first, middle, itemBefore); }, [&] { std::sort(middle, last, itemBefore); });
    std::inplace_merge(first, middle, last, itemBefore);
    while (middle != first && middle != last && sameHead(*middle, *(middle - 1))) ++middle;
    std::vector<uint8_t> equalToPrevious(n, 0);
    runBoth(
        split, [&] { sortRuns(first, middle, keys, 0, equalToPrevious, first); },
        [&] { sortRuns(middle, last, keys, 0, equalToPrevious, first); });

    std::vector<size_t> perm(n);
    for (size_t i = 0; i < n; ++i) perm[i] = items[i].index;
    items = {};
    if (std::find(equalToPrevious.begin(), equalToPrevious.end(), 1) == equalToPrevious.end()) return perm;
    std::vector<size_t> groupStarts;
    for (size_t i = 0; i < n; ++i)
        if (!equalToPrevious[i]) groupStarts.push_back(i);
    equalToPrevious = {};
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

}  // namespace

std::vector<size_t> exchangeSortOrder(const std::vector<std::string_view>& keys)
{
    return exchangeSortOrderOf(Keys{keys, 0});
}

std::vector<size_t> exchangeSortOrder(const std::vector<std::string_view>& lines, size_t skip)
{
    return exchangeSortOrderOf(Keys{lines, skip});
}

}  // namespace edlt

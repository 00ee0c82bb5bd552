// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order the sorting commands' exchange sort leaves the detail lines in.
#include <cstddef>
#include <string_view>
#include <vector>

namespace edlt {

// The order the exchange procedure
//   for i in 0..n-1: for j in i+1..n-1: if key(j) < key(i): swap lines i and j
// leaves the lines in, computed in O(n log n) plus O(k log k) for each group of k equal
// keys. Keys compare as unsigned bytes, a prefix first. Returns perm with perm[k] = the
// original index of the line that ends at position k.
std::vector<size_t> exchangeSortOrder(const std::vector<std::string_view>& keys);
// The same with each line's key from byte skip on (empty for a shorter line).
std::vector<size_t> exchangeSortOrder(const std::vector<std::string_view>& lines, size_t skip);

// Unsigned byte comparison, the shorter text first when it is a prefix of the other:
// negative, zero or positive.
int compareKeyBytes(std::string_view a, std::string_view b);

}  // namespace edlt

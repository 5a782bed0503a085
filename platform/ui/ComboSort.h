// The order in which a sorting combo box keeps its list: alphabetical without regard to case,
// shared by every backend so that all of them show the same list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Negative, zero or positive as a sorts before, with or after b. Letters A-Z compare as a-z;
// otherwise characters compare by value.
int CompareNoCase(std::u16string_view a, std::u16string_view b);

// Where a sorting combo box inserts text: after every item that does not sort after it.
std::size_t SortedInsertPosition(const std::vector<std::u16string>& items,
                                 std::u16string_view text);

// Case-insensitive ordering of combo box items.
#include "platform/ui/ComboSort.h"

#include <algorithm>

namespace {
char16_t FoldCase(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}
}  // namespace

int CompareNoCase(std::u16string_view a, std::u16string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char16_t ca = FoldCase(a[i]);
        const char16_t cb = FoldCase(b[i]);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

std::size_t SortedInsertPosition(const std::vector<std::u16string>& items,
                                 std::u16string_view text) {
    const auto after = std::upper_bound(items.begin(), items.end(), text,
                                        [](std::u16string_view t, const std::u16string& item) {
                                            return CompareNoCase(t, item) < 0;
                                        });
    return static_cast<std::size_t>(after - items.begin());
}

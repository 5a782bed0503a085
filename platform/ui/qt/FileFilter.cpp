// The open-file chooser's rules: MFC filter strings to Qt's name filters, and the check of a
// chosen path against the chooser's options.
#include "platform/ui/qt/FileFilter.h"

#include <filesystem>
#include <vector>

#include "platform/text/WideText.h"
#include "platform/ui/Dialog.h"

namespace {
std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::u16string QtPatterns(std::u16string_view patterns) {
    std::u16string result;
    for (std::u16string_view pattern : Split(patterns, u';')) {
        if (pattern.empty()) {
            continue;
        }
        if (!result.empty()) {
            result += u' ';
        }
        result += pattern == u"*.*" ? u"*" : std::u16string(pattern);
    }
    return result;
}
}  // namespace

std::u16string QtFileFilter(std::u16string_view mfcFilter) {
    // The filter ends at the first empty name ("||"), as the chooser reads it.
    const std::vector<std::u16string_view> parts = Split(mfcFilter, u'|');
    std::u16string result;
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        if (!result.empty()) {
            result += u";;";
        }
        result += parts[i];
        result += u" (";
        result += QtPatterns(parts[i + 1]);
        result += u')';
    }
    return result;
}

bool ChooserPathAcceptable(const std::u16string& path, unsigned options) {
    if ((options & OFN_PATHMUSTEXIST) == 0) {
        return true;
    }
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::path(ToUtf8(path)).parent_path(), error);
}

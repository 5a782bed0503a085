// The matching rule for target replies: a reply counts when its whole literal occurs anywhere in
// the received text, and an operation tests its literals in a fixed order.
#pragma once

#include <span>
#include <string_view>

// True when the whole literal occurs anywhere in text (case-sensitive).
inline bool Contains(std::u16string_view text, std::u16string_view literal) {
    return text.find(literal) != std::u16string_view::npos;
}

// One reply text and the result it stands for.
struct ReplyCase {
    std::u16string_view literal;
    int result;
};

// The result of the first case, in table order, whose literal occurs in text; otherwise
// noMatch. The order of the table, not the position in the text, decides.
int MatchReply(std::u16string_view text, std::span<const ReplyCase> cases, int noMatch);

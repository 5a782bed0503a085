// Ordered matching of reply texts.
#include "quillon/protocol/Matching.h"

int MatchReply(std::u16string_view text, std::span<const ReplyCase> cases, int noMatch) {
    for (const ReplyCase& reply : cases) {
        if (Contains(text, reply.literal)) {
            return reply.result;
        }
    }
    return noMatch;
}

// Exit codes from the message boxes and the log of a run.
#include "quillon/cli/CliOutcome.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "quillon/app/QuillonDlg.h"
#include "quillon/dialogs/CymorTexts.h"

namespace {
// The main window's warnings that mean the dongle is not usable as it is.
constexpr std::array<std::u16string_view, 5> DONGLE_PROBLEMS = {
    MSG_DEVICE_NOT_FOUND, MSG_CONNECTION_FAILED, MSG_NEEDS_UPDATE, MSG_MUST_BE_CONNECTED,
    MSG_COMMUNICATION_ERROR};

bool Shown(const CliFacts& facts, std::u16string_view text) {
    return std::find(facts.messageBoxes.begin(), facts.messageBoxes.end(), text) !=
           facts.messageBoxes.end();
}
}  // namespace

int ExitCodeFor(const CliFacts& facts) {
    for (std::u16string_view problem : DONGLE_PROBLEMS) {
        if (Shown(facts, problem)) {
            return EXIT_NO_DONGLE;
        }
    }
    if (Shown(facts, MSG_MISMATCH)) {
        return EXIT_TARGET_MISMATCH;
    }
    if (facts.limitHit || !facts.updaterOpened) {
        return EXIT_SESSION_FAILED;
    }
    if (facts.command == CliCommand::Info) {
        return EXIT_UPDATED;
    }
    return facts.log.find(LOG_SUCCESS) != std::u16string::npos ? EXIT_UPDATED : EXIT_SESSION_FAILED;
}

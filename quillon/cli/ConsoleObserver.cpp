// Printing the updater's log, progress and message boxes on the terminal.
#include "quillon/cli/ConsoleObserver.h"

#include <ostream>

#include "platform/text/WideText.h"
#include "platform/ui/Dialog.h"
#include "quillon/dialogs/Cymor.h"

namespace {
constexpr int BAR_WIDTH = 40;

// Log lines end in "\r\n"; a time stamp brings its own line feed before that, which a terminal
// would show as an empty line.
std::string TerminalText(std::u16string_view text) {
    std::string bytes = ToUtf8(text);
    std::string result;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes.compare(i, 3, "\n\r\n") == 0) {
            continue;
        }
        if (bytes[i] != '\r') {
            result.push_back(bytes[i]);
        }
    }
    return result;
}

bool IsUpdater(const CDialog& dialog) {
    return dialog.Template().id == IDD_YMOR_DIALOG;
}
}  // namespace

CConsoleObserver::CConsoleObserver(std::ostream& out, std::ostream& err, bool terminal)
    : out(out), err(err), terminal(terminal) {}

void CConsoleObserver::ControlTextChanged(const CDialog& dialog, int controlId,
                                          std::u16string_view text) {
    if (!IsUpdater(dialog) || controlId != IDC_LOG_BOX) {
        return;
    }
    // Lines are appended to the whole text; the first lines of a session replace it.
    const std::u16string_view added =
        text.starts_with(log) ? text.substr(log.size()) : std::u16string_view(text);
    log.assign(text);
    if (added.empty()) {
        return;
    }
    ClearBar();
    out << TerminalText(added) << std::flush;
    DrawBar();
}

void CConsoleObserver::ProgressChanged(const CDialog& dialog, int controlId, int pos, int lower,
                                       int upper) {
    if (!IsUpdater(dialog) || controlId != IDC_PROGRESS_BAR || upper <= lower) {
        return;
    }
    const int newPercent = (pos - lower) * 100 / (upper - lower);
    if (newPercent == percent) {
        return;
    }
    percent = newPercent;
    if (terminal) {
        ClearBar();
        DrawBar();
    } else if (percent > 0) {
        out << percent << "%\n" << std::flush;
    }
}

void CConsoleObserver::MessageBoxShown(const MessageBoxRecord& record) {
    ClearBar();
    out << std::flush;
    err << ToUtf8(record.caption) << ": " << ToUtf8(record.text) << "\n" << std::flush;
    DrawBar();
}

void CConsoleObserver::PrintLine(const std::string& line) {
    ClearBar();
    out << line << "\n" << std::flush;
    DrawBar();
}

void CConsoleObserver::Finish() {
    if (barShown) {
        out << "\n" << std::flush;
        barShown = false;
    }
    percent = -1;
}

void CConsoleObserver::ClearBar() {
    if (barShown) {
        out << "\r\033[K";
        barShown = false;
    }
}

void CConsoleObserver::DrawBar() {
    if (!terminal || percent <= 0) {
        return;
    }
    const int filled = percent * BAR_WIDTH / 100;
    out << "[" << std::string(filled, '#') << std::string(BAR_WIDTH - filled, '-') << "] "
        << percent << "%" << std::flush;
    barShown = true;
}

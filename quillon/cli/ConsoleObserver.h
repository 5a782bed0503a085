// Follows the dialogs of a quillon-cli run and prints them: the updater's log lines as they are
// written, its progress bar (drawn on a terminal, percent lines otherwise), and every message
// box as "CAPTION: text" on the error stream.
#pragma once

#include <iosfwd>
#include <string>

#include "platform/ui/headless/HeadlessRecords.h"

class CConsoleObserver final : public IHeadlessObserver {
public:
    CConsoleObserver(std::ostream& out, std::ostream& err, bool terminal);

    void ControlTextChanged(const CDialog& dialog, int controlId,
                            std::u16string_view text) override;
    void ProgressChanged(const CDialog& dialog, int controlId, int pos, int lower,
                         int upper) override;
    void MessageBoxShown(const MessageBoxRecord& record) override;

    // Prints a line of the front end's own between the dialog's output.
    void PrintLine(const std::string& line);
    // Ends a progress bar left on the terminal line.
    void Finish();

    const std::u16string& Log() const { return log; }

private:
    void ClearBar();
    void DrawBar();

    std::ostream& out;
    std::ostream& err;
    bool terminal;
    std::u16string log;
    int percent = -1;
    bool barShown = false;
};

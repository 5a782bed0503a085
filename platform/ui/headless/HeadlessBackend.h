// The headless backend: dialogs in memory on the process clock, played by a scripted user, with
// everything recorded. Tests, quillon-cli and the benchmarks run dialogs through it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/ui/UiBackend.h"
#include "platform/ui/headless/HeadlessRecords.h"
#include "platform/ui/headless/HeadlessWindow.h"
#include "platform/ui/headless/ScriptedUser.h"

// The event loop serves, in this order: posted commands and closes (first posted, first
// served), then the timer that has been due longest, then the user's next step. When none of
// them is ready it waits on the process clock (TheClock()) for the next timer or the user's
// next wake time; on the virtual clock that wait is a jump. A run that would wait for ever, or
// whose clock passes the time limit counted from the start of the outermost dialog, ends every
// running dialog with IDCANCEL and records that the limit was hit; from then on every dialog
// ends as soon as it has initialised, so a broken test fails instead of hanging.
class CHeadlessBackend final : public IUiBackend {
public:
    static constexpr std::int64_t DEFAULT_TIME_LIMIT_MS = 10 * 60 * 1000;

    CHeadlessBackend() = default;
    CHeadlessBackend(const CHeadlessBackend&) = delete;
    CHeadlessBackend& operator=(const CHeadlessBackend&) = delete;

    std::unique_ptr<IDialogPeer> CreatePeer(CDialog& dialog) override;
    void RunModalLoop(CDialog& dialog) override;
    int MessageBox(CDialog* owner, std::u16string_view text, std::u16string_view caption,
                   unsigned type) override;
    std::optional<std::u16string> ChooseOpenFile(CDialog* owner, std::u16string_view filter,
                                                 std::u16string_view initialFolder,
                                                 unsigned options) override;

    CScriptedUser& User() { return user; }
    void SetObserver(IHeadlessObserver* newObserver) { observer = newObserver; }
    void SetTimeLimit(std::int64_t milliseconds) { timeLimitMicros = milliseconds * 1000; }

    bool LimitHit() const { return limitHit; }
    // Why the limit was hit: the time ran out, or nothing was left that could happen.
    const std::string& LimitReason() const { return limitReason; }
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes; }
    const std::vector<ChooserRecord>& Choosers() const { return choosers; }
    const std::vector<DialogRecord>& Dialogs() const { return dialogs; }
    // The innermost running dialog and its window; nullptr when none runs.
    CDialog* TopDialog() const;
    CHeadlessWindow* TopWindow() const;
    // The window of a dialog while it exists; nullptr otherwise.
    CHeadlessWindow* WindowOf(const CDialog& dialog) const;

    // Services for the windows.
    void SetTimer(CHeadlessWindow& window, unsigned id, unsigned elapseMs);
    void KillTimer(CHeadlessWindow& window, unsigned id);
    void KillAllTimers(CHeadlessWindow& window);
    void PostCommand(CHeadlessWindow& window, int commandId);
    void PostClose(CHeadlessWindow& window);
    void Forget(CHeadlessWindow& window);
    IHeadlessObserver* Observer() const { return observer; }

private:
    struct Timer {
        CHeadlessWindow* window;
        unsigned id;
        std::int64_t periodMicros;
        std::int64_t dueMicros;
        std::uint64_t order;  // breaks ties between timers due at the same time
    };
    struct Posted {
        CHeadlessWindow* window;
        bool close;
        int commandId;
    };

    bool RunPosted();
    bool RunDueTimer(std::int64_t now);
    Timer* EarliestTimer();
    void WaitForNextEvent(std::int64_t now);
    void HitLimit(const std::string& why);

    CScriptedUser user;
    IHeadlessObserver* observer = nullptr;
    std::vector<CHeadlessWindow*> windows;  // in creation order: the last is the innermost
    std::vector<Timer> timers;
    std::deque<Posted> posted;
    std::uint64_t timerOrder = 0;
    std::int64_t timeLimitMicros = DEFAULT_TIME_LIMIT_MS * 1000;
    std::int64_t deadlineMicros = 0;
    bool limitHit = false;
    std::string limitReason;
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<ChooserRecord> choosers;
    std::vector<DialogRecord> dialogs;
    std::vector<std::size_t> openRecords;  // index in dialogs of each window's record
};

// The headless event loop: posts, timers and the scripted user on the process clock, and the
// records of message boxes, choosers and dialog runs.
#include "platform/ui/headless/HeadlessBackend.h"

#include <algorithm>

#include "platform/clock/Clock.h"
#include "platform/ui/Dialog.h"

std::unique_ptr<IDialogPeer> CHeadlessBackend::CreatePeer(CDialog& dialog) {
    if (windows.empty()) {
        deadlineMicros = TheClock().NowMicros() + timeLimitMicros;
    }
    auto window = std::make_unique<CHeadlessWindow>(*this, dialog);
    windows.push_back(window.get());
    openRecords.push_back(dialogs.size());
    dialogs.push_back({dialog.Template().id, false, 0});
    if (observer != nullptr) {
        observer->DialogStarted(dialog);
    }
    return window;
}

void CHeadlessBackend::Forget(CHeadlessWindow& window) {
    KillAllTimers(window);
    std::erase_if(posted, [&](const Posted& p) { return p.window == &window; });
    const auto it = std::find(windows.begin(), windows.end(), &window);
    if (it == windows.end()) {
        return;
    }
    const std::size_t index = static_cast<std::size_t>(it - windows.begin());
    DialogRecord& record = dialogs[openRecords[index]];
    record.ended = true;
    record.result = window.Dialog().ModalResult();
    windows.erase(it);
    openRecords.erase(openRecords.begin() + static_cast<std::ptrdiff_t>(index));
    if (observer != nullptr) {
        observer->DialogEnded(window.Dialog(), record.result);
    }
}

void CHeadlessBackend::RunModalLoop(CDialog& dialog) {
    while (dialog.IsRunning()) {
        const std::int64_t now = TheClock().NowMicros();
        if (limitHit || now >= deadlineMicros) {
            HitLimit("the time limit passed");
            continue;
        }
        if (RunPosted() || RunDueTimer(now) || user.RunReadyStep(TopWindow(), now)) {
            continue;
        }
        WaitForNextEvent(now);
    }
}

bool CHeadlessBackend::RunPosted() {
    if (posted.empty()) {
        return false;
    }
    const Posted next = posted.front();
    posted.pop_front();
    CDialog& dialog = next.window->Dialog();
    if (next.close) {
        dialog.DispatchClose();
    } else {
        dialog.DispatchCommand(next.commandId, Notify::Clicked);
    }
    return true;
}

CHeadlessBackend::Timer* CHeadlessBackend::EarliestTimer() {
    Timer* earliest = nullptr;
    for (Timer& timer : timers) {
        if (earliest == nullptr || timer.dueMicros < earliest->dueMicros ||
            (timer.dueMicros == earliest->dueMicros && timer.order < earliest->order)) {
            earliest = &timer;
        }
    }
    return earliest;
}

bool CHeadlessBackend::RunDueTimer(std::int64_t now) {
    Timer* timer = EarliestTimer();
    if (timer == nullptr || timer->dueMicros > now) {
        return false;
    }
    // One tick however late it is; the next comes a full period after this one is served.
    timer->dueMicros = now + timer->periodMicros;
    timer->order = timerOrder++;
    CHeadlessWindow* window = timer->window;
    const unsigned id = timer->id;
    window->Dialog().DispatchTimer(id);
    return true;
}

void CHeadlessBackend::WaitForNextEvent(std::int64_t now) {
    std::optional<std::int64_t> wake = user.WakeTime();
    if (const Timer* timer = EarliestTimer()) {
        wake = wake ? std::min(*wake, timer->dueMicros) : timer->dueMicros;
    }
    if (!wake) {
        HitLimit("nothing was left that could happen");
        return;
    }
    TheClock().SleepUntil(std::max(now, std::min(*wake, deadlineMicros)));
}

void CHeadlessBackend::HitLimit(const std::string& why) {
    if (!limitHit) {
        limitHit = true;
        limitReason = why;
    }
    // Innermost first, as the user would close them; ending one changes no other window.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        (*it)->Dialog().EndDialog(IDCANCEL);
    }
}

CHeadlessWindow* CHeadlessBackend::TopWindow() const {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->Dialog().IsRunning()) {
            return *it;
        }
    }
    return nullptr;
}

CDialog* CHeadlessBackend::TopDialog() const {
    CHeadlessWindow* window = TopWindow();
    return window != nullptr ? &window->Dialog() : nullptr;
}

CHeadlessWindow* CHeadlessBackend::WindowOf(const CDialog& dialog) const {
    for (CHeadlessWindow* window : windows) {
        if (&window->Dialog() == &dialog) {
            return window;
        }
    }
    return nullptr;
}

void CHeadlessBackend::SetTimer(CHeadlessWindow& window, unsigned id, unsigned elapseMs) {
    const std::int64_t period = std::int64_t{std::max(elapseMs, 1u)} * 1000;
    const std::int64_t due = TheClock().NowMicros() + period;
    for (Timer& timer : timers) {
        if (timer.window == &window && timer.id == id) {
            timer.periodMicros = period;
            timer.dueMicros = due;
            timer.order = timerOrder++;
            return;
        }
    }
    timers.push_back({&window, id, period, due, timerOrder++});
}

void CHeadlessBackend::KillTimer(CHeadlessWindow& window, unsigned id) {
    std::erase_if(timers, [&](const Timer& t) { return t.window == &window && t.id == id; });
}

void CHeadlessBackend::KillAllTimers(CHeadlessWindow& window) {
    std::erase_if(timers, [&](const Timer& t) { return t.window == &window; });
}

void CHeadlessBackend::PostCommand(CHeadlessWindow& window, int commandId) {
    posted.push_back({&window, false, commandId});
}

void CHeadlessBackend::PostClose(CHeadlessWindow& window) {
    posted.push_back({&window, true, 0});
}

int CHeadlessBackend::MessageBox(CDialog* owner, std::u16string_view text,
                                 std::u16string_view caption, unsigned type) {
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    const int fallback = yesNo ? IDNO : IDOK;
    int answer = fallback;
    bool scripted = false;
    if (const std::optional<int> queued = user.TakeMessageBoxAnswer()) {
        const bool fits = yesNo ? (*queued == IDYES || *queued == IDNO) : *queued == IDOK;
        if (fits) {
            answer = *queued;
            scripted = true;
        } else {
            user.RecordError("message box answer " + std::to_string(*queued) +
                             " has no button in a box of type " + std::to_string(type));
        }
    }
    const int ownerId = owner != nullptr ? owner->Template().id : 0;
    messageBoxes.push_back(
        {ownerId, std::u16string(caption), std::u16string(text), type, answer, scripted});
    if (observer != nullptr) {
        observer->MessageBoxShown(messageBoxes.back());
    }
    return answer;
}

std::optional<std::u16string> CHeadlessBackend::ChooseOpenFile(CDialog* owner,
                                                               std::u16string_view filter,
                                                               std::u16string_view initialFolder,
                                                               unsigned options) {
    std::optional<std::u16string> answer;
    if (auto queued = user.TakeChooserAnswer()) {
        answer = std::move(*queued);
    }
    const int ownerId = owner != nullptr ? owner->Template().id : 0;
    choosers.push_back(
        {ownerId, std::u16string(filter), std::u16string(initialFolder), options, answer});
    if (observer != nullptr) {
        observer->ChooserShown(choosers.back());
    }
    return answer;
}

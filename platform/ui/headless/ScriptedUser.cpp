// The scripted user's steps and queued answers.
#include "platform/ui/headless/ScriptedUser.h"

#include "platform/ui/Dialog.h"
#include "platform/ui/headless/HeadlessWindow.h"

namespace {
std::string Where(int id, const CHeadlessWindow& top) {
    return "control " + std::to_string(id) + " of dialog " +
           std::to_string(top.Dialog().Template().id);
}

bool Usable(const HeadlessControl& control) {
    return (control.source->style & (CS_HIDDEN | CS_DISABLED)) == 0;
}
}  // namespace

CScriptedUser& CScriptedUser::Add(Step step) {
    steps.push_back(std::move(step));
    return *this;
}

CScriptedUser& CScriptedUser::Click(int controlId) {
    return Add(Step(Kind::Click, controlId));
}

CScriptedUser& CScriptedUser::TypeText(int controlId, std::u16string text) {
    return Add(Step(Kind::TypeText, controlId, std::move(text)));
}

CScriptedUser& CScriptedUser::SelectItem(int controlId, int index) {
    Step step(Kind::SelectItem, controlId);
    step.index = index;
    return Add(std::move(step));
}

CScriptedUser& CScriptedUser::PressEscape() {
    return Add(Step(Kind::Escape));
}

CScriptedUser& CScriptedUser::PressEnter() {
    return Add(Step(Kind::Enter));
}

CScriptedUser& CScriptedUser::CloseWindow() {
    return Add(Step(Kind::Close));
}

CScriptedUser& CScriptedUser::SysCommand(unsigned command) {
    return Add(Step(Kind::SysCommand, static_cast<int>(command)));
}

CScriptedUser& CScriptedUser::Wait(unsigned milliseconds) {
    return Add(Step(Kind::Wait, static_cast<int>(milliseconds)));
}

CScriptedUser& CScriptedUser::WaitForDialog(int templateId) {
    return Add(Step(Kind::WaitForDialog, templateId));
}

CScriptedUser& CScriptedUser::WaitUntil(std::function<bool()> predicate) {
    Step step(Kind::WaitUntil);
    step.predicate = std::move(predicate);
    return Add(std::move(step));
}

CScriptedUser& CScriptedUser::Do(std::function<void(CDialog&)> action) {
    Step step(Kind::Do);
    step.action = std::move(action);
    return Add(std::move(step));
}

CScriptedUser& CScriptedUser::AnswerMessageBox(int answer) {
    messageBoxAnswers.push_back(answer);
    return *this;
}

CScriptedUser& CScriptedUser::AnswerChooser(std::u16string path) {
    chooserAnswers.emplace_back(std::move(path));
    return *this;
}

CScriptedUser& CScriptedUser::CancelChooser() {
    chooserAnswers.emplace_back(std::nullopt);
    return *this;
}

std::optional<int> CScriptedUser::TakeMessageBoxAnswer() {
    if (messageBoxAnswers.empty()) {
        return std::nullopt;
    }
    const int answer = messageBoxAnswers.front();
    messageBoxAnswers.pop_front();
    return answer;
}

std::optional<std::optional<std::u16string>> CScriptedUser::TakeChooserAnswer() {
    if (chooserAnswers.empty()) {
        return std::nullopt;
    }
    std::optional<std::u16string> answer = std::move(chooserAnswers.front());
    chooserAnswers.pop_front();
    return answer;
}

std::optional<std::int64_t> CScriptedUser::WakeTime() const {
    if (Finished() || steps[nextStep].kind != Kind::Wait) {
        return std::nullopt;
    }
    return steps[nextStep].wakeAt;
}

bool CScriptedUser::IsReady(Step& step, CHeadlessWindow* top, std::int64_t nowMicros) {
    switch (step.kind) {
        case Kind::Wait:
            if (!step.wakeAt) {
                step.wakeAt = nowMicros + std::int64_t{step.id} * 1000;
            }
            return nowMicros >= *step.wakeAt;
        case Kind::WaitForDialog:
            return top != nullptr && top->Dialog().Template().id == step.id;
        case Kind::WaitUntil:
            return step.predicate();
        default:
            return top != nullptr;
    }
}

bool CScriptedUser::RunReadyStep(CHeadlessWindow* top, std::int64_t nowMicros) {
    if (Finished() || !IsReady(steps[nextStep], top, nowMicros)) {
        return false;
    }
    // Advance first: the step may run a nested dialog whose loop goes on with the script.
    const Step& step = steps[nextStep++];
    if (top != nullptr) {
        Perform(step, *top);
    }
    return true;
}

void CScriptedUser::Perform(const Step& step, CHeadlessWindow& top) {
    CDialog& dialog = top.Dialog();
    switch (step.kind) {
        case Kind::Click:
            DoClick(step.id, top);
            break;
        case Kind::TypeText:
        case Kind::SelectItem:
            DoType(step, top);
            break;
        case Kind::Escape:
            dialog.DispatchKey(DialogKey::Escape);
            break;
        case Kind::Enter:
            dialog.DispatchKey(DialogKey::Enter);
            break;
        case Kind::Close:
            dialog.DispatchClose();
            break;
        case Kind::SysCommand:
            dialog.DispatchSysCommand(static_cast<unsigned>(step.id));
            break;
        case Kind::Do:
            step.action(dialog);
            break;
        case Kind::Wait:
        case Kind::WaitForDialog:
        case Kind::WaitUntil:
            break;
    }
}

void CScriptedUser::DoClick(int id, CHeadlessWindow& top) {
    const HeadlessControl* control = top.Control(id);
    if (control == nullptr || !Usable(*control)) {
        RecordError("Click: " + Where(id, top) + (control ? " cannot be used" : " does not exist"));
        return;
    }
    CDialog& dialog = top.Dialog();
    switch (control->source->kind) {
        case ControlKind::CheckBox:
            top.SetItemCheck(id, control->check == 0 ? 1 : 0);
            dialog.DispatchCommand(id, Notify::Clicked);
            break;
        case ControlKind::PushButton:
            dialog.DispatchCommand(id, Notify::Clicked);
            break;
        case ControlKind::Link:
            dialog.DispatchCommand(id, Notify::LinkClick);
            break;
        default:
            RecordError("Click: " + Where(id, top) + " is not clickable");
            break;
    }
}

void CScriptedUser::DoType(const Step& step, CHeadlessWindow& top) {
    const HeadlessControl* control = top.Control(step.id);
    const char* what = step.kind == Kind::TypeText ? "TypeText: " : "SelectItem: ";
    if (control == nullptr || !Usable(*control)) {
        RecordError(what + Where(step.id, top) + (control ? " cannot be used" : " does not exist"));
        return;
    }
    const ControlKind kind = control->source->kind;
    const bool editable =
        kind == ControlKind::ComboBox ||
        (kind == ControlKind::Edit && (control->source->style & CS_READONLY) == 0);
    if (step.kind == Kind::TypeText) {
        if (!editable) {
            RecordError(what + Where(step.id, top) + " takes no typing");
            return;
        }
        top.SetItemText(step.id, step.text);
        return;
    }
    if (kind != ControlKind::ComboBox || step.index < 0 ||
        step.index >= static_cast<int>(control->items.size())) {
        RecordError(what + Where(step.id, top) + " has no item " + std::to_string(step.index));
        return;
    }
    top.SetItemText(step.id, control->items[static_cast<std::size_t>(step.index)]);
}

// The user of the headless backend: a script of steps run in order whenever the event loop is
// idle, and queued answers for message boxes and file choosers.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CDialog;
class CHeadlessWindow;

// Steps act on the top-most running dialog. A step that cannot be done as a user could (a
// control that is missing, hidden, disabled or of the wrong kind) is skipped and recorded in
// Errors(), so a test sees its own mistake.
class CScriptedUser {
public:
    // A click: a push button's command, a check box toggled and its command, a link's click.
    CScriptedUser& Click(int controlId);
    // Replaces the text of an editable edit field or of a combo box's edit field.
    CScriptedUser& TypeText(int controlId, std::u16string text);
    // Picks item index of a combo box's list (as the list is sorted) into its edit field.
    CScriptedUser& SelectItem(int controlId, int index);
    CScriptedUser& PressEscape();
    CScriptedUser& PressEnter();
    // The window's close box: OnClose.
    CScriptedUser& CloseWindow();
    // A window menu command: OnSysCommand.
    CScriptedUser& SysCommand(unsigned command);
    // Lets the clock run for the given time while the loop serves timers and posts.
    CScriptedUser& Wait(unsigned milliseconds);
    // Waits until the top-most running dialog uses the given template.
    CScriptedUser& WaitForDialog(int templateId);
    // Waits until the predicate holds; it is asked again whenever the loop is idle.
    CScriptedUser& WaitUntil(std::function<bool()> predicate);
    // Calls back with the top-most running dialog, for checks in the middle of a run.
    CScriptedUser& Do(std::function<void(CDialog&)> action);

    // Answers for the next message box (IDOK, IDYES, IDNO) and the next file chooser. An
    // unanswered box gets IDOK for MB_OK and IDNO for MB_YESNO; an unanswered chooser is
    // cancelled. An answer the box has no button for is recorded as an error and the default
    // is given instead.
    CScriptedUser& AnswerMessageBox(int answer);
    CScriptedUser& AnswerChooser(std::u16string path);
    CScriptedUser& CancelChooser();

    // True when every step has been done.
    bool Finished() const { return nextStep == steps.size(); }
    const std::vector<std::string>& Errors() const { return errors; }
    void RecordError(std::string error) { errors.push_back(std::move(error)); }

    // Used by the backend. RunReadyStep does the next step if it can be done now and returns
    // whether it did; WakeTime tells when a waiting step will be ready by the clock alone.
    bool RunReadyStep(CHeadlessWindow* top, std::int64_t nowMicros);
    std::optional<std::int64_t> WakeTime() const;
    std::optional<int> TakeMessageBoxAnswer();
    // Nothing when no answer is queued; an empty inner value for a queued cancel.
    std::optional<std::optional<std::u16string>> TakeChooserAnswer();

private:
    enum class Kind {
        Click,
        TypeText,
        SelectItem,
        Escape,
        Enter,
        Close,
        SysCommand,
        Wait,
        WaitForDialog,
        WaitUntil,
        Do
    };
    struct Step {
        explicit Step(Kind kind, int id = 0, std::u16string text = {})
            : kind(kind), id(id), text(std::move(text)) {}
        Kind kind;
        int id = 0;  // control, template, command or milliseconds, by kind
        std::u16string text;
        int index = 0;
        std::function<bool()> predicate;
        std::function<void(CDialog&)> action;
        std::optional<std::int64_t> wakeAt;  // a Wait step, once started
    };

    CScriptedUser& Add(Step step);
    bool IsReady(Step& step, CHeadlessWindow* top, std::int64_t nowMicros);
    void Perform(const Step& step, CHeadlessWindow& top);
    void DoClick(int id, CHeadlessWindow& top);
    void DoType(const Step& step, CHeadlessWindow& top);

    std::vector<Step> steps;
    std::size_t nextStep = 0;
    std::deque<int> messageBoxAnswers;
    std::deque<std::optional<std::u16string>> chooserAnswers;
    std::vector<std::string> errors;
};

// What the headless backend records of a run for tests to assert on, and the observer through
// which a command-line front end follows a dialog as it runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class CDialog;

struct MessageBoxRecord {
    int ownerTemplateId;  // 0 for the application's own box
    std::u16string caption;
    std::u16string text;
    unsigned type;
    int answer;
    bool scripted;  // the answer came from the script's queue, not the default
};

struct ChooserRecord {
    int ownerTemplateId;
    std::u16string filter;
    std::u16string initialFolder;
    unsigned options;
    std::optional<std::u16string> answer;  // nothing: cancelled
};

struct DialogRecord {
    int templateId;
    bool ended;
    int result;  // the result of DoModal once ended
};

// Calls come on the user-interface thread while the dialog runs. Every call has a default that
// ignores it, so an observer overrides only what it follows.
class IHeadlessObserver {
public:
    virtual ~IHeadlessObserver() = default;
    virtual void ControlTextChanged(const CDialog& dialog, int controlId,
                                    std::u16string_view text) {
        (void)dialog, (void)controlId, (void)text;
    }
    virtual void ProgressChanged(const CDialog& dialog, int controlId, int pos, int lower,
                                 int upper) {
        (void)dialog, (void)controlId, (void)pos, (void)lower, (void)upper;
    }
    virtual void MessageBoxShown(const MessageBoxRecord& record) { (void)record; }
    virtual void ChooserShown(const ChooserRecord& record) { (void)record; }
    virtual void DialogStarted(const CDialog& dialog) { (void)dialog; }
    virtual void DialogEnded(const CDialog& dialog, int result) { (void)dialog, (void)result; }
};

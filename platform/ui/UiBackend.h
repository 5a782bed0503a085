// The contract between CDialog and the backends that show dialogs (Qt, headless): one window
// peer per running dialog, and the backend that owns the thread's event queue.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class CDialog;

// The window of one running dialog. CDialog creates it at the start of DoModal and destroys it
// when DoModal returns; every call comes from the user-interface thread. Calls on control ids
// the template does not have change nothing and read as empty or 0.
class IDialogPeer {
public:
    // Destroys the window. Its timers stop and its queued posts are dropped unseen.
    virtual ~IDialogPeer() = default;

    // Makes the window visible; called after OnInitDialog, before the modal loop.
    virtual void Show() = 0;
    // Called by EndDialog: the dialog no longer accepts events; the modal loop running it
    // returns once the current handler has returned.
    virtual void EndModal() = 0;

    // Periodic timer by id: at most one pending tick per timer; setting an id again restarts
    // it with the new period; a period of 0 counts as 1 ms.
    virtual void SetTimer(unsigned id, unsigned elapseMs) = 0;
    virtual void KillTimer(unsigned id) = 0;
    virtual void KillAllTimers() = 0;

    // Queued for the dialog; delivered after the current handler returns, in posting order,
    // before any timer tick that is due at the same time.
    virtual void PostCommand(int commandId) = 0;
    virtual void PostClose() = 0;

    virtual void SetCaption(std::u16string_view text) = 0;
    virtual std::u16string Caption() const = 0;
    // Appends a separator and a command item to the window menu.
    virtual void AppendMenuItem(unsigned command, std::u16string_view text) = 0;
    virtual void SetIcon(int iconResourceId) = 0;

    // Controls by id. A combo box's text is its edit field. A progress position is clamped to
    // the control's range (0-100 until set).
    virtual std::u16string ItemText(int id) const = 0;
    virtual void SetItemText(int id, std::u16string_view text) = 0;
    virtual int ItemCheck(int id) const = 0;
    virtual void SetItemCheck(int id, int check) = 0;
    virtual void SetProgressRange(int id, int lower, int upper) = 0;
    virtual void SetProgressPos(int id, int pos) = 0;
    virtual int ProgressPos(int id) const = 0;
    virtual void AddComboString(int id, std::u16string_view text) = 0;
    virtual int ComboCount(int id) const = 0;
    virtual std::u16string ComboItem(int id, int index) const = 0;
};

// The thread's event queue and the modal services. Chosen once at start-up.
class IUiBackend {
public:
    virtual ~IUiBackend() = default;

    virtual std::unique_ptr<IDialogPeer> CreatePeer(CDialog& dialog) = 0;
    // Runs the thread's events (every dialog's timers and posts, not only this one's) until
    // the dialog has ended. Returns at once when it has ended already.
    virtual void RunModalLoop(CDialog& dialog) = 0;
    // A modal message box with no icon. owner is nullptr for the application's own box.
    // Returns IDOK for MB_OK, IDYES or IDNO for MB_YESNO.
    virtual int MessageBox(CDialog* owner, std::u16string_view text, std::u16string_view caption,
                           unsigned type) = 0;
    // The modal open-file chooser (options: ChooserOption). Nothing when cancelled.
    virtual std::optional<std::u16string> ChooseOpenFile(CDialog* owner, std::u16string_view filter,
                                                         std::u16string_view initialFolder,
                                                         unsigned options) = 0;
};

// The process-wide backend; a headless one on the process clock until another is installed.
IUiBackend& TheUiBackend();
// Installs the backend used from now on; the caller keeps it alive. nullptr restores the
// default. Install before the first dialog runs, never while one runs.
void InstallUiBackend(IUiBackend* backend);

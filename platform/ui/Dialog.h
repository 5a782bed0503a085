// The dialog framework: a small MFC-shaped layer so that dialogs read like the system's own
// description. Dialogs derive from CDialog, list their notifications in a message map table,
// and reach their controls by id. Which backend shows them (Qt or headless) is chosen once at
// start-up (UiBackend.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ui/DialogTemplate.h"

// Command and result ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message box button sets and modality.
enum MessageBoxType : unsigned {
    MB_OK = 0x0000,
    MB_YESNO = 0x0004,
    MB_TYPEMASK = 0x000F,  // the button set within a type
    MB_SYSTEMMODAL = 0x1000,
};

// Options of the open-file chooser.
enum ChooserOption : unsigned {
    OFN_PATHMUSTEXIST = 0x0800,  // the folder of a typed name must exist
    OFN_FILEMUSTEXIST = 0x1000,  // the chosen file itself must exist
};

// System command of the window menu's Close item; the low four bits of a command are the
// platform's own and are ignored when commands are compared.
constexpr unsigned SC_CLOSE = 0xF060;

// Keys a dialog handles itself.
enum class DialogKey {
    Escape,  // the Cancel command
    Enter,   // the command of the default push button
};

enum class Notify {
    Clicked,    // push button or check box clicked (also the command posted by PostCommand)
    LinkClick,  // link control clicked
};

class CDialog;
using CommandHandler = void (CDialog::*)();

struct MessageMapEntry {
    int controlId;
    Notify code;
    CommandHandler handler;
};

// Builds a message map entry from a handler of a derived dialog class.
template <class T>
constexpr MessageMapEntry OnNotify(int controlId, Notify code, void (T::*handler)()) {
    return {controlId, code, static_cast<CommandHandler>(handler)};
}

class IDialogPeer;

class CDialog {
public:
    explicit CDialog(const DialogTemplate& dialogTemplate);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the window, runs a nested event loop until EndDialog, destroys the window and
    // returns the result given to EndDialog (-1 when creation failed).
    int DoModal();
    // Ends the modal loop after the current handler returns; stops the dialog's timers. A
    // dialog ends once: later calls, and calls outside DoModal, change nothing.
    void EndDialog(int result);

    const DialogTemplate& Template() const { return dialogTemplate; }
    // True from the window's creation until EndDialog.
    bool IsRunning() const;
    // The result given to EndDialog (-1 after a failed creation).
    int ModalResult() const { return modalResult; }
    // The id of the template's default push button, IDOK when it has none.
    int DefaultButtonId() const;

    // Window services.
    void SetTimer(unsigned id, unsigned elapseMs);  // periodic until KillTimer
    void KillTimer(unsigned id);
    void PostCommand(int commandId);  // queued, as a click of that id
    void PostClose();                 // queued close request: OnClose
    int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned type = MB_OK);
    // The open-file chooser. filter is in the MFC form "Name|*.ext|All Files|*.*||"; the
    // result is the chosen full path, or nothing when the user cancelled.
    // initialFolder is passed as the dialog names it; the backend maps it onto the machine.
    std::optional<std::u16string> ChooseOpenFile(std::u16string_view filter,
                                                 std::u16string_view initialFolder,
                                                 unsigned options = OFN_PATHMUSTEXIST |
                                                                    OFN_FILEMUSTEXIST);
    void SetWindowText(std::u16string_view text);
    std::u16string GetWindowText() const;
    // Adds a separator and a command item at the end of the window's menu.
    void AppendSystemMenuItem(unsigned command, std::u16string_view text);
    void SetIcon(int iconResourceId);

    // Controls by id.
    std::u16string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::u16string_view text);
    int IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, int check);
    void SetProgressRange(int id, int lower, int upper);
    void SetProgressPos(int id, int pos);
    int GetProgressPos(int id) const;
    // Adds an item to a combo box's list, at its sorted place when the control sorts.
    void AddComboString(int id, std::u16string_view text);
    int GetComboCount(int id) const;
    std::u16string GetComboItem(int id, int index) const;

    // Dispatch entry points used by the backends.
    void DispatchCommand(int controlId, Notify code);
    void DispatchTimer(unsigned id);
    void DispatchClose();
    void DispatchSysCommand(unsigned command);
    void DispatchKey(DialogKey key);
    int DispatchCreate();
    bool DispatchInitDialog();
    IDialogPeer* Peer() const { return peer.get(); }

protected:
    // Overridables with the framework's default behaviour.
    virtual int OnCreate() { return 0; }  // -1 fails creation
    virtual bool OnInitDialog();          // runs DoDataExchange(false)
    virtual void DoDataExchange(bool saveAndValidate) { (void)saveAndValidate; }
    virtual void OnTimer(unsigned id) { (void)id; }
    virtual void OnClose() { EndDialog(IDCANCEL); }
    virtual void OnOK();  // DoDataExchange(true), then EndDialog(IDOK)
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnSysCommand(unsigned command);  // SC_CLOSE closes: OnClose
    virtual std::span<const MessageMapEntry> GetMessageMap() const { return {}; }

private:
    enum class State { Idle, Creating, Running, Ended };
    bool Accepts() const { return state == State::Creating || state == State::Running; }

    const DialogTemplate& dialogTemplate;
    std::unique_ptr<IDialogPeer> peer;
    State state = State::Idle;
    int modalResult = 0;
};

// Control members bound to a dialog's controls by id (the data exchange binds them).
class CWndControl {
public:
    void Bind(CDialog* dialog, int controlId) {
        owner = dialog;
        id = controlId;
    }
    std::u16string GetWindowText() const { return owner->GetDlgItemText(id); }
    void SetWindowText(std::u16string_view text) { owner->SetDlgItemText(id, text); }

protected:
    CDialog* owner = nullptr;
    int id = 0;
};

class CButton : public CWndControl {
public:
    int GetCheck() const { return owner->IsDlgButtonChecked(id); }
    void SetCheck(int check) { owner->CheckDlgButton(id, check); }
};

class CEdit : public CWndControl {
public:
    // Appends text at the end, as a log box grows.
    void AppendText(std::u16string_view text) {
        SetWindowText(GetWindowText() + std::u16string(text));
    }
};

class CStatic : public CWndControl {};

class CComboBox : public CWndControl {
public:
    void AddString(std::u16string_view text) { owner->AddComboString(id, text); }
    int GetCount() const { return owner->GetComboCount(id); }
    std::u16string GetLBText(int index) const { return owner->GetComboItem(id, index); }
};

class CProgressCtrl : public CWndControl {
public:
    void SetRange(int lower, int upper) { owner->SetProgressRange(id, lower, upper); }
    void SetPos(int pos) { owner->SetProgressPos(id, pos); }
    int GetPos() const { return owner->GetProgressPos(id); }
};

inline void DDX_Control(CDialog* dialog, int controlId, CWndControl& control) {
    control.Bind(dialog, controlId);
}

// The application's own message box: captioned with the application's name, no owner window.
// Returns IDOK, IDYES or IDNO.
int AppMessageBox(std::u16string_view text, unsigned type);
void SetApplicationName(std::u16string_view name);
std::u16string ApplicationName();

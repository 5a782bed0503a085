// CDialog: the modal run, the default handlers and the dispatch through the message map, the
// same for every backend.
#include "platform/ui/Dialog.h"

#include "platform/ui/UiBackend.h"

CDialog::CDialog(const DialogTemplate& dialogTemplate) : dialogTemplate(dialogTemplate) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    IUiBackend& backend = TheUiBackend();
    state = State::Creating;
    modalResult = 0;
    peer = backend.CreatePeer(*this);
    if (DispatchCreate() == -1) {
        state = State::Ended;
        modalResult = -1;
    } else {
        DispatchInitDialog();
        if (state == State::Creating) {
            state = State::Running;
            peer->Show();
            backend.RunModalLoop(*this);
        }
    }
    // A dialog that ended during creation has its result; one the loop left running (which a
    // backend never does) has none to give.
    state = State::Ended;
    peer.reset();
    state = State::Idle;
    return modalResult;
}

void CDialog::EndDialog(int result) {
    if (!Accepts()) {
        return;
    }
    state = State::Ended;
    modalResult = result;
    peer->KillAllTimers();
    peer->EndModal();
}

bool CDialog::IsRunning() const {
    return Accepts();
}

int CDialog::DefaultButtonId() const {
    for (const ControlTemplate& control : dialogTemplate.controls) {
        if (control.kind == ControlKind::PushButton && (control.style & CS_DEFAULT) != 0) {
            return control.id;
        }
    }
    return IDOK;
}

void CDialog::SetTimer(unsigned id, unsigned elapseMs) {
    if (Accepts()) {
        peer->SetTimer(id, elapseMs);
    }
}

void CDialog::KillTimer(unsigned id) {
    if (peer) {
        peer->KillTimer(id);
    }
}

void CDialog::PostCommand(int commandId) {
    if (Accepts()) {
        peer->PostCommand(commandId);
    }
}

void CDialog::PostClose() {
    if (Accepts()) {
        peer->PostClose();
    }
}

int CDialog::MessageBox(std::u16string_view text, std::u16string_view caption, unsigned type) {
    return TheUiBackend().MessageBox(peer ? this : nullptr, text, caption, type);
}

std::optional<std::u16string> CDialog::ChooseOpenFile(std::u16string_view filter,
                                                      std::u16string_view initialFolder,
                                                      unsigned options) {
    return TheUiBackend().ChooseOpenFile(peer ? this : nullptr, filter, initialFolder, options);
}

void CDialog::SetWindowText(std::u16string_view text) {
    if (peer) {
        peer->SetCaption(text);
    }
}

std::u16string CDialog::GetWindowText() const {
    return peer ? peer->Caption() : std::u16string();
}

void CDialog::AppendSystemMenuItem(unsigned command, std::u16string_view text) {
    if (peer) {
        peer->AppendMenuItem(command, text);
    }
}

void CDialog::SetIcon(int iconResourceId) {
    if (peer) {
        peer->SetIcon(iconResourceId);
    }
}

std::u16string CDialog::GetDlgItemText(int id) const {
    return peer ? peer->ItemText(id) : std::u16string();
}

void CDialog::SetDlgItemText(int id, std::u16string_view text) {
    if (peer) {
        peer->SetItemText(id, text);
    }
}

int CDialog::IsDlgButtonChecked(int id) const {
    return peer ? peer->ItemCheck(id) : 0;
}

void CDialog::CheckDlgButton(int id, int check) {
    if (peer) {
        peer->SetItemCheck(id, check);
    }
}

void CDialog::SetProgressRange(int id, int lower, int upper) {
    if (peer) {
        peer->SetProgressRange(id, lower, upper);
    }
}

void CDialog::SetProgressPos(int id, int pos) {
    if (peer) {
        peer->SetProgressPos(id, pos);
    }
}

int CDialog::GetProgressPos(int id) const {
    return peer ? peer->ProgressPos(id) : 0;
}

void CDialog::AddComboString(int id, std::u16string_view text) {
    if (peer) {
        peer->AddComboString(id, text);
    }
}

int CDialog::GetComboCount(int id) const {
    return peer ? peer->ComboCount(id) : 0;
}

std::u16string CDialog::GetComboItem(int id, int index) const {
    return peer ? peer->ComboItem(id, index) : std::u16string();
}

void CDialog::DispatchCommand(int controlId, Notify code) {
    if (!Accepts()) {
        return;
    }
    for (const MessageMapEntry& entry : GetMessageMap()) {
        if (entry.controlId == controlId && entry.code == code) {
            (this->*entry.handler)();
            return;
        }
    }
    if (code != Notify::Clicked) {
        return;
    }
    if (controlId == IDOK) {
        OnOK();
    } else if (controlId == IDCANCEL) {
        OnCancel();
    }
}

void CDialog::DispatchTimer(unsigned id) {
    if (Accepts()) {
        OnTimer(id);
    }
}

void CDialog::DispatchClose() {
    if (Accepts()) {
        OnClose();
    }
}

void CDialog::DispatchSysCommand(unsigned command) {
    if (Accepts()) {
        OnSysCommand(command);
    }
}

void CDialog::DispatchKey(DialogKey key) {
    DispatchCommand(key == DialogKey::Escape ? IDCANCEL : DefaultButtonId(), Notify::Clicked);
}

int CDialog::DispatchCreate() {
    return OnCreate();
}

bool CDialog::DispatchInitDialog() {
    return OnInitDialog();
}

bool CDialog::OnInitDialog() {
    DoDataExchange(false);
    return true;
}

void CDialog::OnOK() {
    DoDataExchange(true);
    EndDialog(IDOK);
}

void CDialog::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0u) == SC_CLOSE) {
        OnClose();
    }
}

// Controls of a headless dialog held in memory; changes are told to the backend's observer.
#include "platform/ui/headless/HeadlessWindow.h"

#include <algorithm>

#include "platform/ui/ComboSort.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/headless/HeadlessBackend.h"

CHeadlessWindow::CHeadlessWindow(CHeadlessBackend& backend, CDialog& dialog)
    : backend(backend), dialog(dialog), caption(dialog.Template().caption) {
    for (const ControlTemplate& control : dialog.Template().controls) {
        if (control.id != IDC_STATIC) {
            HeadlessControl& state = controls[control.id];
            state.source = &control;
            state.text = control.text;
        }
    }
}

CHeadlessWindow::~CHeadlessWindow() {
    backend.Forget(*this);
}

// Nothing to draw: the window exists as soon as it is created.
void CHeadlessWindow::Show() {
    shown = true;
}

// The backend's loop watches the dialog's state, so ending needs no wake-up.
void CHeadlessWindow::EndModal() {
    shown = false;
}

void CHeadlessWindow::SetTimer(unsigned id, unsigned elapseMs) {
    backend.SetTimer(*this, id, elapseMs);
}

void CHeadlessWindow::KillTimer(unsigned id) {
    backend.KillTimer(*this, id);
}

void CHeadlessWindow::KillAllTimers() {
    backend.KillAllTimers(*this);
}

void CHeadlessWindow::PostCommand(int commandId) {
    backend.PostCommand(*this, commandId);
}

void CHeadlessWindow::PostClose() {
    backend.PostClose(*this);
}

void CHeadlessWindow::AppendMenuItem(unsigned command, std::u16string_view text) {
    menuItems.push_back({0, u""});
    menuItems.push_back({command, std::u16string(text)});
}

const HeadlessControl* CHeadlessWindow::Control(int id) const {
    const auto it = controls.find(id);
    return it != controls.end() ? &it->second : nullptr;
}

HeadlessControl* CHeadlessWindow::Find(int id) {
    const auto it = controls.find(id);
    return it != controls.end() ? &it->second : nullptr;
}

std::u16string CHeadlessWindow::ItemText(int id) const {
    const HeadlessControl* control = Control(id);
    return control != nullptr ? control->text : std::u16string();
}

void CHeadlessWindow::SetItemText(int id, std::u16string_view text) {
    HeadlessControl* control = Find(id);
    if (control == nullptr) {
        return;
    }
    control->text = text;
    if (IHeadlessObserver* observer = backend.Observer()) {
        observer->ControlTextChanged(dialog, id, control->text);
    }
}

int CHeadlessWindow::ItemCheck(int id) const {
    const HeadlessControl* control = Control(id);
    return control != nullptr ? control->check : 0;
}

void CHeadlessWindow::SetItemCheck(int id, int check) {
    if (HeadlessControl* control = Find(id)) {
        control->check = check;
    }
}

void CHeadlessWindow::SetProgressRange(int id, int lower, int upper) {
    HeadlessControl* control = Find(id);
    if (control == nullptr) {
        return;
    }
    control->lower = lower;
    control->upper = upper;
    control->pos = std::clamp(control->pos, lower, std::max(lower, upper));
    ProgressChanged(id, *control);
}

void CHeadlessWindow::SetProgressPos(int id, int pos) {
    HeadlessControl* control = Find(id);
    if (control == nullptr) {
        return;
    }
    control->pos = std::clamp(pos, control->lower, std::max(control->lower, control->upper));
    ProgressChanged(id, *control);
}

void CHeadlessWindow::ProgressChanged(int id, const HeadlessControl& control) {
    if (IHeadlessObserver* observer = backend.Observer()) {
        observer->ProgressChanged(dialog, id, control.pos, control.lower, control.upper);
    }
}

int CHeadlessWindow::ProgressPos(int id) const {
    const HeadlessControl* control = Control(id);
    return control != nullptr ? control->pos : 0;
}

void CHeadlessWindow::AddComboString(int id, std::u16string_view text) {
    HeadlessControl* control = Find(id);
    if (control == nullptr) {
        return;
    }
    const bool sorted = (control->source->style & CS_SORT) != 0;
    const std::size_t at =
        sorted ? SortedInsertPosition(control->items, text) : control->items.size();
    control->items.insert(control->items.begin() + static_cast<std::ptrdiff_t>(at),
                          std::u16string(text));
}

int CHeadlessWindow::ComboCount(int id) const {
    const HeadlessControl* control = Control(id);
    return control != nullptr ? static_cast<int>(control->items.size()) : 0;
}

std::u16string CHeadlessWindow::ComboItem(int id, int index) const {
    const HeadlessControl* control = Control(id);
    if (control == nullptr || index < 0 || index >= static_cast<int>(control->items.size())) {
        return {};
    }
    return control->items[static_cast<std::size_t>(index)];
}

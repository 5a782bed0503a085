// The window of a dialog under the headless backend: its controls held in memory, its timers and
// posts handed to the backend's queue.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/UiBackend.h"

class CHeadlessBackend;

struct HeadlessControl {
    const ControlTemplate* source = nullptr;
    std::u16string text;
    int check = 0;
    int lower = 0;
    int upper = 100;
    int pos = 0;
    std::vector<std::u16string> items;  // a combo box's list, in the order the control keeps
};

struct MenuItem {
    unsigned command;  // 0 for a separator
    std::u16string text;
};

class CHeadlessWindow final : public IDialogPeer {
public:
    CHeadlessWindow(CHeadlessBackend& backend, CDialog& dialog);
    ~CHeadlessWindow() override;

    void Show() override;
    void EndModal() override;
    void SetTimer(unsigned id, unsigned elapseMs) override;
    void KillTimer(unsigned id) override;
    void KillAllTimers() override;
    void PostCommand(int commandId) override;
    void PostClose() override;
    void SetCaption(std::u16string_view text) override { caption = text; }
    std::u16string Caption() const override { return caption; }
    void AppendMenuItem(unsigned command, std::u16string_view text) override;
    void SetIcon(int iconResourceId) override { iconId = iconResourceId; }
    std::u16string ItemText(int id) const override;
    void SetItemText(int id, std::u16string_view text) override;
    int ItemCheck(int id) const override;
    void SetItemCheck(int id, int check) override;
    void SetProgressRange(int id, int lower, int upper) override;
    void SetProgressPos(int id, int pos) override;
    int ProgressPos(int id) const override;
    void AddComboString(int id, std::u16string_view text) override;
    int ComboCount(int id) const override;
    std::u16string ComboItem(int id, int index) const override;

    CDialog& Dialog() const { return dialog; }
    // nullptr when the template has no control with that id.
    const HeadlessControl* Control(int id) const;
    const std::vector<MenuItem>& MenuItems() const { return menuItems; }
    int IconId() const { return iconId; }
    bool Shown() const { return shown; }

private:
    HeadlessControl* Find(int id);
    void ProgressChanged(int id, const HeadlessControl& control);

    CHeadlessBackend& backend;
    CDialog& dialog;
    std::map<int, HeadlessControl> controls;
    std::u16string caption;
    std::vector<MenuItem> menuItems;
    int iconId = 0;
    bool shown = false;
};

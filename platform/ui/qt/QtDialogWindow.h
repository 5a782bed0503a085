// The window of a dialog under Qt: a QDialog built from the template, whose clicks, keys, close
// box, context menu, timers and posts go back to the CDialog.
#pragma once

#include <QDialog>
#include <map>
#include <vector>

#include "platform/ui/UiBackend.h"
#include "platform/ui/qt/DialogUnits.h"

class CDialog;
class QEventLoop;
class QTimer;

class CQtDialogWindow final : public QDialog, public IDialogPeer {
public:
    explicit CQtDialogWindow(CDialog& dialog);
    ~CQtDialogWindow() override;

    void Show() override;
    void EndModal() override;
    void SetTimer(unsigned id, unsigned elapseMs) override;
    void KillTimer(unsigned id) override;
    void KillAllTimers() override;
    void PostCommand(int commandId) override;
    void PostClose() override;
    void SetCaption(std::u16string_view text) override;
    std::u16string Caption() const override;
    void AppendMenuItem(unsigned command, std::u16string_view text) override;
    void SetIcon(int iconResourceId) override;
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

    // Runs a nested event loop until EndModal.
    void RunLoop();
    // The widget of a control, nullptr when the template has none with that id.
    QWidget* Control(int id) const;
    BaseUnits Units() const { return base; }
    // The window menu as the context menu shows it: command 0 is a separator.
    const std::vector<std::pair<unsigned, QString>>& MenuItems() const { return menuItems; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void Connect(const ControlTemplate& source, QWidget* widget);

    CDialog& dialog;
    BaseUnits base;
    std::map<int, QWidget*> controls;
    std::map<unsigned, QTimer*> timers;
    std::vector<std::pair<unsigned, QString>> menuItems;
    QEventLoop* loop = nullptr;
};

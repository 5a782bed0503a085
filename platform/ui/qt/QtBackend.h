// The Qt backend: dialogs as QDialogs, nested QEventLoops, QMessageBox and QFileDialog.
// Construct it after the QApplication and install it with InstallUiBackend.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/UiBackend.h"

class CQtDialogWindow;

// Maps the chooser's initial folder as a dialog names it onto this machine.
using FolderMapping = std::u16string (*)(std::u16string_view folder);

class CQtUiBackend final : public IUiBackend {
public:
    // Without a mapping the folder is used as given.
    explicit CQtUiBackend(FolderMapping mapFolder = nullptr);

    std::unique_ptr<IDialogPeer> CreatePeer(CDialog& dialog) override;
    void RunModalLoop(CDialog& dialog) override;
    int MessageBox(CDialog* owner, std::u16string_view text, std::u16string_view caption,
                   unsigned type) override;
    std::optional<std::u16string> ChooseOpenFile(CDialog* owner, std::u16string_view filter,
                                                 std::u16string_view initialFolder,
                                                 unsigned options) override;

    // The window of a running dialog, nullptr when it has none.
    static CQtDialogWindow* WindowOf(const CDialog& dialog);

private:
    FolderMapping mapFolder;
};

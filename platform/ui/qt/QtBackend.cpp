// Qt's modal services for the dialogs: windows, nested loops, message boxes, the file chooser.
#include "platform/ui/qt/QtBackend.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/ui/Dialog.h"
#include "platform/ui/qt/FileFilter.h"
#include "platform/ui/qt/QtDialogWindow.h"
#include "platform/ui/qt/QtText.h"

namespace {
QWidget* ParentOf(CDialog* owner) {
    return owner != nullptr ? CQtUiBackend::WindowOf(*owner) : nullptr;
}
}  // namespace

CQtUiBackend::CQtUiBackend(FolderMapping mapFolder) : mapFolder(mapFolder) {
    // Windows come and go as dialogs end; only the dialogs decide when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
}

std::unique_ptr<IDialogPeer> CQtUiBackend::CreatePeer(CDialog& dialog) {
    return std::make_unique<CQtDialogWindow>(dialog);
}

void CQtUiBackend::RunModalLoop(CDialog& dialog) {
    if (CQtDialogWindow* window = WindowOf(dialog)) {
        window->RunLoop();
    }
}

CQtDialogWindow* CQtUiBackend::WindowOf(const CDialog& dialog) {
    return dynamic_cast<CQtDialogWindow*>(dialog.Peer());
}

int CQtUiBackend::MessageBox(CDialog* owner, std::u16string_view text, std::u16string_view caption,
                             unsigned type) {
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text),
                    yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    ParentOf(owner));
    box.setTextFormat(Qt::PlainText);
    if ((type & MB_SYSTEMMODAL) != 0 || owner == nullptr) {
        box.setWindowModality(Qt::ApplicationModal);
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Ok:
            return IDOK;
        default:
            return yesNo ? IDNO : IDOK;
    }
}

std::optional<std::u16string> CQtUiBackend::ChooseOpenFile(CDialog* owner,
                                                           std::u16string_view filter,
                                                           std::u16string_view initialFolder,
                                                           unsigned options) {
    const std::u16string folder =
        mapFolder != nullptr ? mapFolder(initialFolder) : std::u16string(initialFolder);
    QFileDialog chooser(ParentOf(owner), QString(), ToQString(folder),
                        ToQString(QtFileFilter(filter)));
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode((options & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
    // A name in a folder that does not exist is refused and the chooser stays open, as the
    // system's chooser does when the path must exist.
    while (chooser.exec() == QDialog::Accepted && !chooser.selectedFiles().isEmpty()) {
        const QString chosen = chooser.selectedFiles().front();
        if (ChooserPathAcceptable(FromQString(chosen), options)) {
            return FromQString(chosen);
        }
        QMessageBox::warning(&chooser, chooser.windowTitle(),
                             chosen + QStringLiteral("\nPath does not exist.\nCheck the path "
                                                     "and try again."));
    }
    return std::nullopt;
}

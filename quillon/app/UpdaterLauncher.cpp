// Go's updater dialogs: the generic one for every model but KQ-VTR, whose dialog is not part of
// this build yet.
#include "quillon/app/UpdaterLauncher.h"

#include "quillon/dialogs/Cymor.h"

void RunGenericUpdater(const char16_t* modelName) {
    Cymor dlg;
    dlg.modelName = modelName;
    dlg.DoModal();
}

void RunKqvtrUpdater() {}

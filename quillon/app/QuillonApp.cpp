// Start-up and end of Quillon.
#include "quillon/app/QuillonApp.h"

#include "platform/ui/Dialog.h"
#include "quillon/app/QuillonDlg.h"
#include "quillon/link/BridgePort.h"

bool CQuillonApp::InitInstance() {
    SetApplicationName(u"Quillon");
    CQuillonDlg dlg;
    dlg.DoModal();
    bridgePort.Close();
    return false;
}

// The updater dialogs are not part of this build yet: Go ends after its checks.
#include "quillon/app/UpdaterLauncher.h"

void RunGenericUpdater(const char16_t*) {}

void RunKqvtrUpdater() {}

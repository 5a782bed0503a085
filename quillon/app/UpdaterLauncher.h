// Opens the updater dialog for a model, modally and without a parent window.
#pragma once

// The generic updater, serving the given model.
void RunGenericUpdater(const char16_t* modelName);
// The KQ-VTR updater.
void RunKqvtrUpdater();

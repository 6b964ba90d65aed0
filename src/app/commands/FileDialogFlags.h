#pragma once

#include "platform/FileDialog.h"

// What the load and save buttons both ask of the window's dialog. Saving needs no overwrite
// prompt from it: saving asks itself.
constexpr int fileDialogFlags = FileDialog::cdlOFNReadOnly | FileDialog::cdlOFNAllowMultiselect |
                                FileDialog::cdlOFNExplorer | FileDialog::cdlOFNLongNames;

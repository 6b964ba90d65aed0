#pragma once

#include "platform/CommonDialog.h"

// What the load and save buttons both ask of the window's dialog. Saving needs no overwrite
// prompt from it: saving asks itself.
constexpr int fileDialogFlags = CommonDialog::cdlOFNReadOnly |
                                CommonDialog::cdlOFNAllowMultiselect |
                                CommonDialog::cdlOFNExplorer | CommonDialog::cdlOFNLongNames;

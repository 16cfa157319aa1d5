// Stand-in until opening the inputs is merged: no input is ever built.
#include "dialog/frmConflux.h"
#include "platform/Prompter.h"

short frmConflux::UpdateTablesArrayFromDir() {
    prompter().messageBox(QStringLiteral("Nothing selected"));
    return 0;
}

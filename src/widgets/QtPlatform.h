#pragma once
// The window layer's side of the platform seams: Qt message boxes, the
// hourglass cursor on screen, and the runner of modal dialogs (which tests
// replace to fill and close each dialog).
#include "core/Platform.h"

class QDialog;

namespace morvane {

class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // Shows the dialog modally; returns its QDialog result code.
    virtual int exec(QDialog& dialog) = 0;
};

namespace platform {
IDialogRunner& dialogs();
// Installs a replacement (nullptr restores the Qt one); returns the previous.
IDialogRunner* setDialogs(IDialogRunner* d);

// Makes Qt's message boxes the default and shows the busy cursor on screen.
void installQtPlatform();
} // namespace platform

} // namespace morvane

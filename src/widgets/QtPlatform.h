#pragma once
// The window layer's side of the platform seams: Qt message boxes, the
// hourglass cursor on screen, and the runner of modal dialogs (which tests
// replace to fill and close each dialog).
#include "core/Platform.h"
#include <memory>

class QDialog;
class QMessageBox;
class QWidget;

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

// Qt's own texts (dialogs, context menus) in Japanese; false when the
// translation files are missing.
bool installQtTranslations();

// The message box of one kind, in the window face whatever window is in front.
inline constexpr int kMessageBoxPixels = 15;
std::unique_ptr<QMessageBox> makeMessageBox(MessageKind kind, const QString& text, MessageButtons buttons,
                                            QWidget* parent);
} // namespace platform

} // namespace morvane

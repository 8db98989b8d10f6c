#include "database/ui/LogonWindows.h"
#include "widgets/QtPlatform.h"
#include "database/ui/ErrorShow.h"
#include "database/ui/LoginDialog.h"
#include <QLineEdit>

namespace morvane {

bool QtLogonWindows::askLogon(LogonPrompt& values)
{
    TF_Alias dialog;
    dialog.EditAlias->setText(values.server);
    dialog.EditPass->setText(values.password);
    dialog.prepareShow();
    if (platform::dialogs().exec(dialog) != QDialog::Accepted)
        return false;
    values.server = dialog.EditAlias->text();
    values.password = dialog.EditPass->text();
    values.user = dialog.Edit2->text();
    return true;
}

void QtLogonWindows::showConnectionHelp(const QString& serverMessage)
{
    TF_ErrorShow help;
    help.setServerMessage(serverMessage);
    platform::dialogs().exec(help);
}

} // namespace morvane

#pragma once
// The login dialog and the connection help window, as the data module's
// logon opens them.
#include "database/DataModule.h"

namespace morvane {

class QtLogonWindows : public ILogonWindows {
public:
    bool askLogon(LogonPrompt& values) override;
    void showConnectionHelp(const QString& serverMessage) override;
};

} // namespace morvane

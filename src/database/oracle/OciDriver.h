#pragma once
// The Oracle client, loaded at run time so that the program builds and runs
// without it.
#include "database/DbDriver.h"

namespace morvane {

class OciDriver : public IDbDriver {
public:
    OciDriver();
    ~OciDriver() override;

    void logon(const LogonParams& params) override;
    void logoff() noexcept override;
    bool isConnected() const override { return m_connected; }
    ResultSet query(const QString& sql, const BindList& binds) override;
    void execute(const QString& sql, const BindList& binds) override;

private:
    bool m_connected = false;
};

} // namespace morvane

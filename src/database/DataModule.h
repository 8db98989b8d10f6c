#pragma once
// DataModule2: the connection, the named queries and the operations on them.
#include "core/AppState.h"
#include "database/Connection.h"
#include "database/Query.h"
#include <QObject>
#include <functional>
#include <memory>

namespace morvane {

// The wait dialog as the dictionary load uses it.
class IWaitDialog {
public:
    virtual ~IWaitDialog() = default;
    virtual void showProgress(int maximum) = 0;   // show (not modal), position 0, repaint
    virtual void setProgress(int position) = 0;   // set and repaint at once
    virtual void hideProgress() = 0;
};

// The values the login dialog shows and returns.
struct LogonPrompt {
    QString server;
    QString password;
    QString user;
};

// The windows the logon may open; the window layer provides them.
class ILogonWindows {
public:
    virtual ~ILogonWindows() = default;
    // The login dialog filled with the values; false when it was cancelled.
    virtual bool askLogon(LogonPrompt& values) = 0;
    // The connection help window after a failed start-up logon, with the server's message.
    virtual void showConnectionHelp(const QString& serverMessage) = 0;
};

class TDataModule2 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule2(Session& session, QObject* parent = nullptr);
    ~TDataModule2() override;   // closes the connection

    Connection Database1_ADO;
    Query AQ_Owner, AQ_Catalog, AQ_Tables, AQ_Indexes, AQ_Ind_Cols, AQ_Views,
        AQ_Tab_Cols, AQ_Synonyms, AQ_Tab_Cols2, AQ_Count, AQ_Analyze;

    // Names the slot of QueryTable that the current operation works on.
    int Tag = 0;

    // Hooks into the windows; all optional.
    IWaitDialog* waitDialog = nullptr;
    ILogonWindows* logonWindows = nullptr;   // none: a logon that needs a dialog is cancelled
    std::function<void()> clearOwnerField;   // AdjustColumnWidths ends with it
    std::function<void()> repaintSplash;     // before the start-up connection opens

    // Start-up logon. Leaves an open connection or has requested termination.
    void DataModule2Create();
    // Runs the login dialog; false when cancelled (termination requested).
    bool ShowLogonDialog();
    // Builds the logon from U_LogOn, LogonUser and LAST_ALIAS and opens it.
    void connectWithCurrentValues();

    void AdjustColumnWidths();
    int CountRows();
    bool LoadTableDictionary();

    bool SearchForward(const QString& field, const QString& text);
    bool SearchBackward(const QString& field, const QString& text);

    Query* queryByName(const QString& name);
    // The catalog as the current query (Tag), opened in one of its three forms
    // for the owner; the table list form takes its sort key.
    enum class CatalogForm { TableList, AllObjects, TablesOnly };
    Query& openCatalog(CatalogForm form, const QString& owner, const QString& sortKey = QString());

    Query* currentQuery() { return m_session.state.QueryTable.at(static_cast<size_t>(Tag)); }
    Session& session() { return m_session; }

    void requestTermination();

private:
    bool search(const QString& field, const QString& text, bool forward);
    void fillQueryTable();
    void loadSynonym();
    void loadTable();
    void loadView();
    void loadColumns();
    void step(int position);

    Session& m_session;
};

} // namespace morvane

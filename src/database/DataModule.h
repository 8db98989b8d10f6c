#pragma once
// DataModule2: the connection, the named queries and the operations on them.
#include "core/AppState.h"
#include "database/Connection.h"
#include "database/LoadedObject.h"
#include "database/Query.h"
#include <QObject>
#include <functional>
#include <memory>

namespace morvane {

// The wait dialog as the dictionary load uses it.
class IWaitDialog {
public:
    virtual ~IWaitDialog() = default;
    virtual void showProgress(int maximum) = 0; // show (not modal), position 0, repaint
    virtual void setProgress(int position) = 0; // set and repaint at once
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
    ~TDataModule2() override; // closes the connection

    Connection Database1_ADO;
    Query AQ_Owner, AQ_Catalog, AQ_Tables, AQ_Indexes, AQ_Ind_Cols, AQ_Views, AQ_Tab_Cols, AQ_Synonyms,
        AQ_Tab_Cols2, AQ_Count, AQ_Analyze;

    // Names the slot of QueryTable that the current operation works on.
    int Tag = 0;

    // Hooks into the windows; all optional.
    IWaitDialog* waitDialog = nullptr;
    ILogonWindows* logonWindows = nullptr; // none: a logon that needs a dialog is cancelled
    std::function<void()> clearOwnerField; // AdjustColumnWidths ends with it
    std::function<void()> repaintSplash;   // before the start-up connection opens

    // Start-up logon. Leaves an open connection or has requested termination.
    void DataModule2Create();
    // Runs the login dialog; false when cancelled (termination requested).
    bool ShowLogonDialog();
    // Builds the logon from U_LogOn, LogonUser and LAST_ALIAS and opens it.
    void connectWithCurrentValues();

    void AdjustColumnWidths();
    // Counts the section of Tag for LAST_OWNER and TableName.
    int CountRows();
    // Loads the chosen object (LAST_OWNER, TableName, TableType) and leaves it
    // in the shared records; a synonym puts its target's owner and name there
    // for the rest of the run.
    bool LoadTableDictionary();
    // Loads the object named by the key into the queries, with the wait
    // dialog and the load's own messages; loaded() then describes it, also
    // after a failure (up to the step that failed). Writes neither the
    // settings record nor the shared state.
    bool loadObject(const ObjectKey& key);
    const LoadedObject& loaded() const { return m_loaded; }
    // The loaded object into the shared state the windows read (its name,
    // the synonym fields, the counts); the settings record stays as it is.
    void shareLoaded();
    // USERNAME of every row of the owner list statement, in the order delivered.
    QStringList ownerNames();

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
    // One section: Tag and its count (handed to counted), then its statement
    // closed, replaced, bound and opened, then the wait dialog's step.
    void loadSection(int slot, Query& q, const QStringList& lines, const BindList& binds, int progress,
                     const std::function<void(int)>& counted = nullptr);
    int countRows(const QString& owner, const QString& name);
    void step(int position);

    Session& m_session;
    LoadedObject m_loaded;
};

} // namespace morvane

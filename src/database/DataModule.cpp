#include "database/DataModule.h"
#include "database/Statements.h"
#include "core/Platform.h"
#include <QCoreApplication>
#include <QMetaObject>
#include <cmath>

namespace morvane {

namespace {
const char* const kQueryNames[9] = {"AQ_Owner", "AQ_Catalog",  "AQ_Tables",   "AQ_Indexes",  "AQ_Ind_Cols",
                                    "AQ_Views", "AQ_Tab_Cols", "AQ_Synonyms", "AQ_Tab_Cols2"};

constexpr int kNameBytes = 128;
constexpr int kCommentBytes = 4000;
} // namespace

TDataModule2::TDataModule2(Session& session, QObject* parent)
    : QObject(parent), AQ_Owner("AQ_Owner", 0, &Database1_ADO), AQ_Catalog("AQ_Catalog", 1, &Database1_ADO),
      AQ_Tables("AQ_Tables", 2, &Database1_ADO), AQ_Indexes("AQ_Indexes", 3, &Database1_ADO),
      AQ_Ind_Cols("AQ_Ind_Cols", 4, &Database1_ADO), AQ_Views("AQ_Views", 5, &Database1_ADO),
      AQ_Tab_Cols("AQ_Tab_Cols", 6, &Database1_ADO), AQ_Synonyms("AQ_Synonyms", 7, &Database1_ADO),
      AQ_Tab_Cols2("AQ_Tab_Cols2", 8, &Database1_ADO), AQ_Count("AQ_Count", 0, &Database1_ADO),
      AQ_Analyze("AQ_Analyze", 0, &Database1_ADO), m_session(session)
{
    // Result fields of the column list and the catalog, as wide as a current
    // server's: names of 128 bytes, comments of 4,000. The widths of COMMENTS
    // and DATA_TYPE follow the server's dictionary once connected. A width
    // never cuts a value: a name cut on the way would bind to nothing.
    AQ_Tab_Cols.setFieldSize("COLUMN_NAME", kNameBytes);
    AQ_Tab_Cols.setFieldSize("COMMENTS", kCommentBytes);
    AQ_Tab_Cols.setFieldSize("DATA_TYPE", 9);
    AQ_Tab_Cols.setFieldSize("NULLABLE", 1);

    AQ_Catalog.setFieldSize("OWNER", kNameBytes);
    AQ_Catalog.setFieldSize("TABLE_NAME", kNameBytes);
    AQ_Catalog.setFieldSize("TABLE_TYPE", 11);
    AQ_Catalog.setFieldSize("COMMENTS", kCommentBytes);
    AQ_Catalog.setDisplayLabel("OWNER", QStringLiteral("OWNER"));
    AQ_Catalog.setDisplayLabel("TABLE_NAME", QStringLiteral("テーブル名"));
    AQ_Catalog.setDisplayLabel("COMMENTS", QStringLiteral("テーブルコメント"));
    AQ_Catalog.setDisplayLabel("TABLE_TYPE", QStringLiteral("テーブルタイプ"));
    AQ_Catalog.setDisplayWidth("OWNER", 15);
    AQ_Catalog.setDisplayWidth("TABLE_NAME", 30);
    AQ_Catalog.setDisplayWidth("COMMENTS", 45);
    AQ_Catalog.setDisplayWidth("TABLE_TYPE", 11);
    fillQueryTable();
}

TDataModule2::~TDataModule2() { Database1_ADO.close(); }

Query* TDataModule2::queryByName(const QString& name)
{
    Query* all[] = {&AQ_Owner,    &AQ_Catalog,  &AQ_Tables,    &AQ_Indexes, &AQ_Ind_Cols, &AQ_Views,
                    &AQ_Tab_Cols, &AQ_Synonyms, &AQ_Tab_Cols2, &AQ_Count,   &AQ_Analyze};
    for (Query* q : all)
        if (q->name() == name)
            return q;
    return nullptr;
}

void TDataModule2::fillQueryTable()
{
    for (size_t i = 0; i < 9; ++i)
        m_session.state.QueryTable[i] = queryByName(QString::fromLatin1(kQueryNames[i]));
}

void TDataModule2::requestTermination()
{
    m_session.terminationRequested = true;
    // Queued: the running handler (or the rest of start-up) completes first,
    // then the message loop ends at once.
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), "quit", Qt::QueuedConnection);
}

void TDataModule2::DataModule2Create()
{
    AppSettings& s = m_session.settings;
    bool asked = false; // whether the login dialog ran on this start
    const QString storedPassword = s.U_LogOn;
    try {
        fillQueryTable();
        Database1_ADO.close();
        if (s.UserSet2) {
            asked = true;
            if (!ShowLogonDialog())
                return;
        }
        if (s.U_LogOn.isEmpty()) {
            s.U_LogOn.clear();
            s.LAST_ALIAS.clear();
            asked = true;
            if (!ShowLogonDialog())
                return;
        } else if (m_session.state.LogonUser.isEmpty()) {
            // Nobody typed a user name: log on as the user the login dialog proposes.
            m_session.state.LogonUser = QStringLiteral("SYS");
        }
        if (repaintSplash)
            repaintSplash();
        connectWithCurrentValues();
        AdjustColumnWidths();
    } catch (const std::exception& e) {
        platform::setNormalCursor();
        const QString detail = reasonOf(e);
        qWarning("Morvane: connection failed: %s", qPrintable(detail));
        if (logonWindows)
            logonWindows->showConnectionHelp(detail);
        platform::setNormalCursor();
        // A password is kept only once a logon with it worked: a stored one
        // that fails is forgotten, so the next start asks instead of failing
        // silently again; a typed one that fails leaves what was stored.
        s.U_LogOn = asked ? storedPassword : QString();
        requestTermination();
    }
}

bool TDataModule2::ShowLogonDialog()
{
    AppSettings& s = m_session.settings;
    LogonPrompt values{s.LAST_ALIAS, s.U_LogOn, QString()};
    bool ok = false;
    try {
        ok = logonWindows && logonWindows->askLogon(values);
    } catch (...) {
        platform::setNormalCursor();
        throw;
    }
    platform::setNormalCursor();
    if (ok) {
        s.LAST_ALIAS = values.server;
        s.U_LogOn = values.password;
        m_session.state.LogonUser = values.user;
    } else {
        requestTermination();
    }
    return ok;
}

void TDataModule2::connectWithCurrentValues()
{
    const AppSettings& s = m_session.settings;
    // The three values go to the driver as typed; nothing is pasted into a
    // ";"-separated string that a ";" in the password would break.
    Database1_ADO.setLogon({s.LAST_ALIAS, m_session.state.LogonUser, s.U_LogOn});
    Database1_ADO.open();
    // A logon the server only warned about goes ahead; the user hears of it once.
    const QString warning = Database1_ADO.driver().logonWarning();
    if (!warning.isEmpty()) {
        const QString head =
            DbError::leadingOraCode(warning) == 28002
                ? QStringLiteral("パスワードの有効期限が近づいています。パスワードを変更して下さい。")
                : QStringLiteral("ログオンしましたが、サーバーから警告がありました。");
        platform::warning(head + QStringLiteral("\n\r") + warning);
    }
}

void TDataModule2::AdjustColumnWidths()
{
    Tag = SlotSynonyms;
    Query& q = *m_session.state.QueryTable[SlotSynonyms];
    q.close();
    q.setSql(sql::adjustColumnWidths());
    q.open();
    if (q.locateIgnoreCase("COLUMN_NAME", "COMMENTS"))
        AQ_Tab_Cols.setFieldSize("COMMENTS", static_cast<int>(q.integer("DATA_LENGTH")));
    if (q.locateIgnoreCase("COLUMN_NAME", "DATA_TYPE"))
        AQ_Tab_Cols.setFieldSize("DATA_TYPE", static_cast<int>(q.integer("DATA_LENGTH")));
    q.close();
    if (clearOwnerField)
        clearOwnerField();
}

int TDataModule2::CountRows() { return countRows(m_session.settings.LAST_OWNER, m_session.state.TableName); }

int TDataModule2::countRows(const QString& owner, const QString& name)
{
    try {
        AQ_Count.close();
        const QStringList lines = sql::countRows(Tag);
        if (lines.isEmpty())
            throw DbError(QStringLiteral("no count for slot %1").arg(Tag));
        AQ_Count.setSql(lines);
        AQ_Count.bind("OWNER", owner);
        AQ_Count.bind("TABLE_NAME", name);
        AQ_Count.open();
        const int n = static_cast<int>(AQ_Count.integer("COUNT(*)"));
        AQ_Count.close();
        return n;
    } catch (const std::exception&) {
        AQ_Count.close();
        platform::error(QStringLiteral("レコード数カウントエラー"));
        return -1;
    }
}

QStringList TDataModule2::ownerNames()
{
    Query& q = *m_session.state.QueryTable[SlotOwner];
    q.close();
    q.setSql(sql::ownerList());
    q.open();
    QStringList names;
    for (q.first(); !q.eof(); q.next())
        names << q.text(QStringLiteral("USERNAME"));
    q.close();
    return names;
}

void TDataModule2::step(int position)
{
    if (waitDialog)
        waitDialog->setProgress(position);
}

namespace {
// Thrown when a synonym leads to nothing that can be printed: reported with its own text.
class UnresolvedSynonym : public std::runtime_error {
public:
    explicit UnresolvedSynonym(const QString& text) : std::runtime_error(text.toStdString()), text(text) { }
    QString text;
};
} // namespace

void TDataModule2::loadSynonym()
{
    LoadedObject& o = m_loaded;
    o.isSynonym = true;
    AQ_Synonyms.close();
    AQ_Synonyms.setSql(sql::synonymLookup());
    AQ_Synonyms.bind("OWNER", o.owner);
    AQ_Synonyms.bind("TABLE_NAME", o.name);
    AQ_Synonyms.open();
    o.synonymName = o.name;
    o.synonymOwner = o.owner;
    // A target outside the synonym's owner (or missing) finds no row: the
    // owner and name must survive, so stop here instead of going on empty.
    if (AQ_Synonyms.recordCount() == 0) {
        o.synonymTargetType.clear();
        throw UnresolvedSynonym(
            QStringLiteral("シノニム %1.%2 の参照先が見つかりません。").arg(o.owner, o.name)
            + QStringLiteral("\n\r") + QStringLiteral("参照先が別のＯＷＮＥＲにあるか、存在しません。"));
    }
    AQ_Synonyms.first();
    // A synonym of a synonym has no table or view of its own to print.
    if (AQ_Synonyms.text("OLD_TYPE") == QLatin1String("SYNONYM")) {
        o.synonymTargetType.clear();
        throw UnresolvedSynonym(
            QStringLiteral("シノニム %1.%2 の参照先 %3.%4 もシノニムです。")
                .arg(o.owner, o.name, AQ_Synonyms.text("TABLE_OWNER"), AQ_Synonyms.text("TABLE_NAME"))
            + QStringLiteral("\n\r") + QStringLiteral("シノニムの参照先のシノニムはたどりません。"));
    }
    o.owner = AQ_Synonyms.text("TABLE_OWNER");
    o.name = AQ_Synonyms.text("TABLE_NAME");
    o.synonymTargetType = AQ_Synonyms.text("OLD_TYPE");
    step(2);
}

void TDataModule2::loadSection(int slot, Query& q, const QStringList& lines, const BindList& binds,
                               int progress, const std::function<void(int)>& counted)
{
    Tag = slot;
    const int count = countRows(m_loaded.owner, m_loaded.name);
    m_loaded.rowCounts[static_cast<size_t>(slot)] = count;
    if (counted)
        counted(count);
    q.close();
    q.setSql(lines);
    for (const auto& b : binds)
        q.bind(b.first, b.second);
    q.open();
    step(progress);
}

void TDataModule2::loadTable()
{
    const QString owner = m_loaded.owner;
    const QString name = m_loaded.name;
    loadSection(SlotTables, AQ_Tables, sql::tables(), {{"OWNER", owner}, {"TABLE_NAME", name}}, 1);
    loadSection(SlotIndexes, AQ_Indexes, sql::indexes(), {{"OWNER", owner}, {"TABLE_NAME", name}}, 2);
    loadSection(SlotIndCols, AQ_Ind_Cols, sql::indexColumns(),
                {{"OWNER1", owner},
                 {"OWNER2", owner},
                 {"OWNER3", owner},
                 {"TABLE_NAME1", name},
                 {"TABLE_NAME2", name}},
                3);
}

void TDataModule2::loadView()
{
    loadSection(SlotViews, AQ_Views, sql::views(), {{"OWNER", m_loaded.owner}, {"TABLE_NAME", m_loaded.name}},
                2);
}

void TDataModule2::loadColumns()
{
    const QString owner = m_loaded.owner;
    loadSection(SlotTabCols, AQ_Tab_Cols, sql::tableColumns(),
                {{"OWNER", owner}, {"OWNER1", owner}, {"TABLE_NAME", m_loaded.name}}, 4, [this](int count) {
                    m_loaded.columnPageCount = columnPageCount(count, m_session.settings.MaxPageRow);
                });
}

bool TDataModule2::loadObject(const ObjectKey& key)
{
    LoadedObject& o = m_loaded;
    o.chosen = key;
    o.owner = key.owner;
    o.name = key.name;
    try {
        if (waitDialog)
            waitDialog->showProgress(4);
        if (key.type == QLatin1String("SYNONYM")) {
            loadSynonym();
        } else {
            o.isSynonym = false;
            o.synonymTargetType.clear();
        }
        const bool isTable =
            key.type == QLatin1String("TABLE") || o.synonymTargetType == QLatin1String("TABLE");
        const bool isView = key.type == QLatin1String("VIEW") || o.synonymTargetType == QLatin1String("VIEW");
        if (isTable)
            loadTable();
        if (isView) {
            loadView();
        } else if (!isTable) {
            // Neither a table nor a view: page 1 shows the view layout, which
            // must not show an earlier object's view rows.
            ResultSet empty;
            for (const char* c : {"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT"})
                empty.columns.push_back({QString::fromLatin1(c), false});
            empty.columns[2].numeric = true;
            AQ_Views.openWith(empty);
            o.rowCounts[SlotViews] = 0;
        }
        loadColumns();
        if (waitDialog)
            waitDialog->hideProgress();
        return true;
    } catch (const UnresolvedSynonym& u) {
        if (waitDialog)
            waitDialog->hideProgress();
        platform::error(u.text);
        return false;
    } catch (const std::exception& e) {
        if (waitDialog)
            waitDialog->hideProgress();
        platform::error(QStringLiteral("データベースＯＰＥＮ失敗") + QStringLiteral("\n\r") + reasonOf(e));
        return false;
    }
}

void TDataModule2::shareLoaded() { m_loaded.shareInto(m_session.state); }

bool TDataModule2::LoadTableDictionary()
{
    const bool ok =
        loadObject({m_session.settings.LAST_OWNER, m_session.state.TableName, m_session.state.TableType});
    // Also after a failure: what the load changed before it stays changed.
    m_session.settings.LAST_OWNER = m_loaded.owner;
    shareLoaded();
    return ok;
}

Query& TDataModule2::openCatalog(CatalogForm form, const QString& owner, const QString& sortKey)
{
    Tag = SlotCatalog;
    AQ_Catalog.close();
    if (form == CatalogForm::TableList) {
        // The one form that carries the owner in its text.
        AQ_Catalog.setSql(sql::catalogTableList(owner, sortKey));
    } else {
        AQ_Catalog.setSql(form == CatalogForm::AllObjects ? sql::catalogAllObjects()
                                                          : sql::catalogTablesOnly());
        AQ_Catalog.bind(QStringLiteral("OWNER"), owner);
    }
    AQ_Catalog.open();
    return AQ_Catalog;
}

} // namespace morvane

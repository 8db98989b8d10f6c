#include "app/MainWindow.h"
#include "widgets/QtPlatform.h"
#include "app/SettingsDialog.h"
#include "widgets/Widgets.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/ObjectRun.h"
#include "document/DocumentData.h"
#include "document/Fonts.h"
#include "maintenance/TableStatistics.h"
#include "output/CsvExport.h"
#include "output/ui/PreviewForm.h"
#include "output/ui/PrintCommands.h"
#include "output/ui/SharedPrinter.h"
#include "tablelist/TableListWindow.h"
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>

namespace morvane {

namespace {
QLabel* colouredLabel(const QString& text, const char* colour, bool bold, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    setTextColour(l, QColor(QLatin1String(colour)));
    if (bold) {
        // Only the weight is set: face and size still come from the window.
        QFont f;
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

void readOnlyField(QLineEdit* e, const QString& tip)
{
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setToolTip(tip);
    setFieldBackground(e, e->palette().color(QPalette::Button));
}
} // namespace

TF_Main::TF_Main(Session& session, SettingsStore& store, QWidget* parent)
    : QWidget(parent), m_session(session), m_store(store)
{
    setObjectName("F_Main");
    buildControls();
    FormCreate();
}

TF_Main::~TF_Main() { FormDestroy(); }

void TF_Main::buildControls()
{
    setWindowTitle(QStringLiteral("Morvane Ver.2.2.0"));
    setOuterSize(this, 478, 412);
    setFont(document::uiFont(15));
    setAutoFillBackground(true);

    buildBanner();
    buildObjectFields();
    buildActionButtons();
    addSettingsShortcut();
    setTabOrderAndInitialState();
    connectButtons();
    connectOwnerField();
}

void TF_Main::buildBanner()
{
    Panel1 = new QFrame(this);
    setPanelColour(Panel1, QColor(0x80, 0x80, 0x80));
    place(Panel1, 28, 8, 420, 57);
    Panel2 = new QFrame(this);
    setPanelColour(Panel2, QColor(0x00, 0x00, 0xFF));
    place(Panel2, 22, 15, 420, 57);
    auto* banner = new QLabel(QStringLiteral("Morvane（by ADO）"), Panel2);
    QFont bf = document::uiFont(19);
    bf.setItalic(true);
    banner->setFont(bf);
    setTextColour(banner, Qt::white);
    banner->setAlignment(Qt::AlignCenter);
    place(banner, 0, 0, 420, 57);
}

void TF_Main::buildObjectFields()
{
    Label3 = colouredLabel(QStringLiteral("ServerName："), "#000080", true, this);
    placeAt(Label3, 24, 120);
    LabelAlias = colouredLabel(QString(), "#000000", false, this);
    place(LabelAlias, 130, 120, 200, 18);

    BitConnect = glyphButton(QStringLiteral("Connect"), QStyle::SP_DriveNetIcon, this);
    place(BitConnect, 334, 84, 110, 40);
    BitBtn2 = glyphButton(QStringLiteral("問合せ"), QStyle::SP_FileDialogContentsView, this);
    place(BitBtn2, 334, 130, 110, 40);
    BitBtn2->setToolTip(QStringLiteral("テーブル名問い合わせ"));

    Label1 = colouredLabel(QStringLiteral("ＯＷＮＥＲ ："), "#008000", true, this);
    placeAt(Label1, 25, 150);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxVisibleItems(12);
    ComboBox1->completer()->setCompletionMode(QCompleter::PopupCompletion);
    ComboBox1->completer()->setCaseSensitivity(Qt::CaseSensitive);
    ComboBox1->setToolTip(QStringLiteral("ユーザー名を選択して下さい。"));
    place(ComboBox1, 122, 146, 200, 23);

    Label2 = colouredLabel(QStringLiteral("テーブル名 ："), "#008000", true, this);
    placeAt(Label2, 25, 181);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    readOnlyField(Edit2, QStringLiteral("テーブル名問い合わせボタンクリック"));
    place(Edit2, 122, 177, 322, 23);
    Label4 = colouredLabel(QStringLiteral("コ メ ン ト ："), "#008000", true, this);
    placeAt(Label4, 28, 212);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    readOnlyField(Edit1, QStringLiteral("テーブル名問い合わせボタンクリック"));
    place(Edit1, 122, 208, 322, 23);
}

void TF_Main::buildActionButtons()
{
    Panel3 = new QFrame(this);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    place(Panel3, 26, 248, 305, 110);
    BitBtn3 = glyphButton(QStringLiteral("印刷"), QStyle::SP_FileIcon, Panel3);
    place(BitBtn3, 10, 11, 90, 40);
    BitBtn3->setToolTip(QStringLiteral("この仕様書を印刷する。"));
    BitBtn4 = glyphButton(QStringLiteral("Preview"), QStyle::SP_FileDialogDetailedView, Panel3);
    place(BitBtn4, 108, 11, 90, 40);
    BitBtn4->setToolTip(QStringLiteral("仕様書印刷イメージプレビュー"));
    BitBtn9 = new QPushButton(QStringLiteral("ANALYZE"), Panel3);
    place(BitBtn9, 205, 11, 90, 40);
    BitBtn9->setToolTip(QStringLiteral("ANALYZE TABLEの実行(注意：時間がかかる場合が有ります。)"));
    BitBtn6 = glyphButton(QStringLiteral("全印刷"), QStyle::SP_DirIcon, Panel3);
    place(BitBtn6, 10, 59, 90, 40);
    BitBtn6->setToolTip(QStringLiteral("このユーザーの全仕様書を印刷する。"));
    BitBtn1 = glyphButton(QStringLiteral("Excel"), QStyle::SP_FileDialogListView, Panel3);
    place(BitBtn1, 108, 59, 90, 40);
    BitBtn1->setToolTip(QStringLiteral("２ﾍﾟｰｼﾞ以降をExcelへ出力"));
    BitBtn8 = new QPushButton(QStringLiteral("全ANALYZE"), Panel3);
    place(BitBtn8, 205, 59, 90, 40);
    BitBtn8->setToolTip(QStringLiteral("全テーブルANALYZE TABLEの実行(注意：時間がかかる場合が有ります。)"));

    BitBtn7 = glyphButton(QStringLiteral("ﾌﾟﾘﾝﾀｰ設定"), QStyle::SP_ComputerIcon, this);
    place(BitBtn7, 344, 248, 100, 50);
    BitBtn5 = glyphButton(QStringLiteral("閉じる(&C)"), QStyle::SP_DialogCloseButton, this);
    place(BitBtn5, 344, 308, 100, 50);
    BitBtn5->setToolTip(QStringLiteral("終了"));
}

void TF_Main::addSettingsShortcut()
{
    // The settings command has no visible item: only its shortcut reaches it.
    N1 = new QAction(QStringLiteral("設定"), this);
    N1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    N1->setShortcutContext(Qt::WindowShortcut);
    N1->setVisible(true);
    addAction(N1);
}

void TF_Main::setTabOrderAndInitialState()
{
    setTabOrder(BitBtn5, ComboBox1);
    setTabOrder(ComboBox1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, BitBtn1);
    setTabOrder(BitBtn1, BitBtn6);
    setTabOrder(BitBtn6, BitBtn9);
    setTabOrder(BitBtn9, BitBtn8);
    setTabOrder(BitBtn8, BitBtn7);
    setTabOrder(BitBtn7, BitConnect);

    // Initial state of the enabling table.
    BitBtn3->setEnabled(false);
    BitBtn4->setEnabled(false);
    BitBtn1->setEnabled(false);
    BitBtn9->setEnabled(false);
    BitBtn8->setEnabled(false);
}

void TF_Main::connectButtons()
{
    auto guarded = [this](void (TF_Main::*h)()) {
        return [this, h] { runGuarded([this, h] { (this->*h)(); }); };
    };
    connect(BitBtn2, &QPushButton::clicked, this, guarded(&TF_Main::BitBtn2Click));
    connect(BitConnect, &QPushButton::clicked, this, guarded(&TF_Main::BitConnectClick));
    connect(BitBtn3, &QPushButton::clicked, this, [this] { runGuarded([this] { BitBtn3Click(BitBtn3); }); });
    connect(BitBtn4, &QPushButton::clicked, this, guarded(&TF_Main::BitBtn4Click));
    connect(BitBtn6, &QPushButton::clicked, this, guarded(&TF_Main::BitBtn6Click));
    // Offered beside the click, so that 全印刷 itself runs as it always has.
    BitBtn6->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(BitBtn6, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(BitBtn6);
        const QAction* one = menu.addAction(QStringLiteral("目次付きで1つのジョブに印刷"));
        if (menu.exec(BitBtn6->mapToGlobal(at)) == one)
            runGuarded([this] { printAllAsOneJob(); });
    });
    connect(BitBtn1, &QPushButton::clicked, this, guarded(&TF_Main::BitBtn1Click));
    connect(BitBtn9, &QPushButton::clicked, this, guarded(&TF_Main::BitBtn9Click));
    connect(BitBtn8, &QPushButton::clicked, this, guarded(&TF_Main::BitBtn8Click));
    connect(BitBtn7, &QPushButton::clicked, this, guarded(&TF_Main::BitBtn7Click));
    connect(BitBtn5, &QPushButton::clicked, this, &QWidget::close);
    connect(N1, &QAction::triggered, this, guarded(&TF_Main::Button1Click));
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Edit2Change(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit2Change(); });
}

void TF_Main::connectOwnerField()
{
    // Qt signals an edit before the field reports its new cursor and selection,
    // so what is remembered here is the field as the key found it.
    QLineEdit* owner = ComboBox1->lineEdit();
    connect(owner, &QLineEdit::textChanged, this, [this] { rememberOwnerField(); });
    connect(owner, &QLineEdit::selectionChanged, this, [this] { rememberOwnerField(); });
    connect(owner, &QLineEdit::cursorPositionChanged, this, [this] { rememberOwnerField(); });
    connect(owner, &QLineEdit::textEdited, this,
            [this](const QString& t) { runGuarded([this, t] { ownerTextEdited(t); }); });
    // The owner field would take Shift+Insert as paste, and it has the focus most
    // of the time: the settings shortcut must win there. The combo box hands keys
    // to its field directly, so both are watched.
    owner->installEventFilter(this);
    ComboBox1->installEventFilter(this);
    ComboBox1->setFocus();
    connect(ComboBox1, QOverload<int>::of(&QComboBox::activated), this,
            [this](int) { runGuarded([this] { ComboBox1Change(); }); });
}

void TF_Main::FormCreate()
{
    m_store.load(m_session.settings, sectionNameOf(staticMetaObject.className()));
    if (!m_session.settings.LAST_OWNER.isEmpty())
        ComboBox1->setEditText(m_session.settings.LAST_OWNER);
}

void TF_Main::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    m_store.save(m_session.settings, sectionNameOf(staticMetaObject.className()));
}

void TF_Main::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
        runGuarded([this] { FormShow(); });
        ComboBox1->setFocus();
    }
}

void TF_Main::FormShow()
{
    FillOwnerList();
    AdjustOwnerList();
}

void TF_Main::paintEvent(QPaintEvent* e)
{
    FormPaint();
    QWidget::paintEvent(e);
}

void TF_Main::FormPaint()
{
    const AppSettings& s = m_session.settings;
    BitBtn8->setEnabled(Edit2->text().isEmpty() && !s.UserSet);
    BitConnect->setEnabled(s.UserSet2);
    if (LabelAlias->text() != s.LAST_ALIAS)
        LabelAlias->setText(s.LAST_ALIAS);
}

void TF_Main::closeEvent(QCloseEvent* e)
{
    e->accept();
    QWidget::closeEvent(e);
}

bool TF_Main::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (QKeySequence(key->keyCombination()) == N1->shortcut()) {
            // Not taken by the field: the shortcut map then runs N1.
            key->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TF_Main::ownerForRun()
{
    const QString owner = ComboBox1->currentText();
    if (owner.isEmpty()) {
        // The stored owner is not shown after start-up; a run must not act on it unseen.
        platform::warning(QStringLiteral("ＯＷＮＥＲを選択して下さい。"));
        return false;
    }
    m_session.settings.LAST_OWNER = owner;
    return true;
}

void TF_Main::Edit2Change()
{
    if (!Edit2->text().isEmpty())
        return;
    BitBtn1->setEnabled(false);
    BitBtn3->setEnabled(false);
    BitBtn4->setEnabled(false);
    BitBtn9->setEnabled(false);
}

QStringList TF_Main::ownerEntries() const
{
    QStringList l;
    for (int i = 0; i < ComboBox1->count(); ++i)
        l << ComboBox1->itemText(i);
    return l;
}

void TF_Main::FillOwnerList()
{
    // Clearing the entries must not touch the owner text.
    const QString text = ComboBox1->currentText();
    ComboBox1->clear();
    ComboBox1->setEditText(text);
    const QString user = m_session.state.LogonUser;
    if (user != QLatin1String("SYS") && user != QLatin1String("SYSTEM"))
        return;
    if (!m_dm)
        return;
    ComboBox1->addItems(m_dm->ownerNames());
    ComboBox1->model()->sort(0);
    ComboBox1->setEditText(text);
}

void TF_Main::AdjustOwnerList()
{
    const QString text = ComboBox1->currentText();
    const AppSettings& s = m_session.settings;
    if (s.UserSet) {
        ComboBox1->clear();
        QString list = s.U_SetOwner;
        list.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        list.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QStringList lines = list.split(QLatin1Char('\n'));
        // A final line break adds no entry.
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        ComboBox1->addItems(lines);
    }
    const QString user = m_session.state.LogonUser;
    if (user != QLatin1String("SYS") && user != QLatin1String("SYSTEM")
        && !ownerEntries().contains(user, Qt::CaseSensitive))
        ComboBox1->addItem(user);
    ComboBox1->model()->sort(0);
    ComboBox1->setEditText(text);
}

void TF_Main::rememberOwnerField()
{
    const QLineEdit* le = ComboBox1->lineEdit();
    m_ownerBefore.text = le->text();
    if (le->hasSelectedText()) {
        m_ownerBefore.start = le->selectionStart();
        m_ownerBefore.length = static_cast<int>(le->selectedText().size());
    } else {
        m_ownerBefore.start = le->cursorPosition();
        m_ownerBefore.length = 0;
    }
}

// True when the edit put exactly one character in place of the selection (or
// at the cursor): a key, which completes, unlike a paste.
bool TF_Main::oneKeyTyped(const QString& typed) const
{
    const OwnerFieldState& b = m_ownerBefore;
    const QString head = b.text.left(b.start);
    const QString tail = b.text.mid(b.start + b.length);
    return typed.size() == head.size() + tail.size() + 1 && typed.startsWith(head) && typed.endsWith(tail);
}

void TF_Main::ownerTextEdited(const QString& typed)
{
    const QString up = asciiUpper(typed);
    QString accepted = up;
    // Only a typed character completes; pasted text must equal an entry as it is.
    const bool oneKey = oneKeyTyped(typed);
    if (!up.isEmpty() && oneKey) {
        for (const QString& entry : ownerEntries()) {
            if (entry.startsWith(up, Qt::CaseSensitive)) {
                accepted = entry;
                break;
            }
        }
    }
    QLineEdit* le = ComboBox1->lineEdit();
    if (le->text() != accepted) {
        le->setText(accepted);
        if (accepted.size() > up.size())
            le->setSelection(up.size(), accepted.size() - up.size());
    }
    ComboBox1Change();
    rememberOwnerField();
}

void TF_Main::ComboBox1Change()
{
    AppSettings& s = m_session.settings;
    const QString text = asciiUpper(ComboBox1->currentText());
    if (text != ComboBox1->currentText())
        ComboBox1->setEditText(text);
    s.LAST_OWNER = text;
    Edit2->clear();
    Edit1->clear();
    if (text.isEmpty()) {
        for (QWidget* w :
             {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(BitBtn1),
              static_cast<QWidget*>(BitBtn2), static_cast<QWidget*>(BitBtn3), static_cast<QWidget*>(BitBtn4),
              static_cast<QWidget*>(BitBtn6), static_cast<QWidget*>(BitBtn8), static_cast<QWidget*>(BitBtn9)})
            w->setEnabled(false);
    } else {
        Edit1->setEnabled(true);
        Edit2->setEnabled(true);
        BitBtn2->setEnabled(true);
        BitBtn6->setEnabled(true);
        BitBtn9->setEnabled(false);
        BitBtn8->setEnabled(!s.UserSet);
    }
    Edit1->clear();
    Edit2->clear();
    if (!ownerEntries().contains(text, Qt::CaseSensitive))
        ComboBox1->setEditText(QString());
}

void TF_Main::BitBtn2Click()
{
    AppSettings& s = m_session.settings;
    SharedState& st = m_session.state;
    s.LAST_OWNER = ComboBox1->currentText();
    if (s.LAST_OWNER.isEmpty()) {
        platform::warning(QStringLiteral("ＯＷＮＥＲを選択して下さい。"));
        return;
    }
    const platform::NormalCursorOnExit end;
    TF_Table table(*m_dm, m_session, this);
    table.onExport = [this] { output::ExportCsv(*m_dm, output::CsvSource::TableList); };
    table.onMultiPrint = [this, &table] {
        table.BitBtn3Click();
        // The run has loaded other objects: no name may stand for the chosen one.
        Edit1->clear();
        Edit2->clear();
    };
    table.showTableName = [this](const QString& name) { Edit2->setText(name); };
    table.printLoaded = [this](QObject* sender) { BitBtn3Click(sender); };
    m_dm->Tag = SlotCatalog;
    table.prepareForChoice(s.LAST_OWNER);
    st.CatalogSortCaption = QStringLiteral("テーブル名");
    st.CatalogSortKey = QStringLiteral("TABLE_TYPE, TABLE_NAME");
    table.RefreshCatalog();
    Query& catalog = *st.QueryTable[SlotCatalog];
    if (!Edit2->text().isEmpty())
        catalog.locatePrefix(QStringLiteral("TABLE_NAME"), Edit2->text());
    if (platform::dialogs().exec(table) != QDialog::Accepted)
        return;

    st.TableName = catalog.text("TABLE_NAME");
    st.TableType = catalog.text("TABLE_TYPE");
    const QString comment = catalog.text("COMMENTS");
    Edit2->setText(st.TableName);
    Edit1->setText(comment);
    st.TableComment = bracketComment(comment);
    catalog.close();

    if (m_dm->LoadTableDictionary()) {
        BitBtn3->setEnabled(true);
        BitBtn4->setEnabled(true);
        BitBtn6->setEnabled(false);
        BitBtn9->setEnabled(st.TableType == QLatin1String("TABLE") && !s.UserSet);
        BitBtn1->setEnabled(!s.UserSet);
        if (!s.UserSet)
            BitBtn1->setToolTip(QStringLiteral("２ﾍﾟｰｼﾞ以降をExcelへ出力します。"));
    } else {
        for (QPushButton* b : {BitBtn6, BitBtn3, BitBtn4, BitBtn9, BitBtn1, BitBtn8})
            b->setEnabled(false);
        platform::warning(QStringLiteral("ＯＲＡＣＬＥデータベースオープンエラー！") + QStringLiteral("\n\r")
                          + QStringLiteral("不明の場合ＯＲＡＣＬＥ管理者に確認して下さい。"));
    }
}

void TF_Main::BitConnectClick()
{
    AppSettings& s = m_session.settings;
    SharedState& st = m_session.state;
    const QString alias = s.LAST_ALIAS, pass = s.U_LogOn, user = st.LogonUser;
    try {
        m_dm->Database1_ADO.close();
        if (!m_dm->ShowLogonDialog())
            return;
        m_dm->connectWithCurrentValues();
        m_dm->AdjustColumnWidths();
        FillOwnerList();
        AdjustOwnerList();
    } catch (const std::exception& e) {
        platform::setNormalCursor();
        platform::warning(QStringLiteral("ユーザー名・パスワードの元に戻し接続します。")
                          + QStringLiteral("\n\r") + reasonOf(e));
        s.LAST_ALIAS = alias;
        s.U_LogOn = pass;
        st.LogonUser = user;
        try {
            m_dm->Database1_ADO.close();
            m_dm->connectWithCurrentValues();
            m_dm->AdjustColumnWidths();
        } catch (const std::exception& again) {
            platform::setNormalCursor();
            platform::error(QStringLiteral("ＯＲＡＣＬＥデータベースとの接続ができません、終了します。")
                            + QStringLiteral("\n\r") + reasonOf(again));
            m_dm->requestTermination();
        }
    }
    update();
}

void TF_Main::BitBtn3Click(QObject* Sender) { output::printLoadedObject(m_session, Sender != BitBtn6, this); }

void TF_Main::BitBtn4Click()
{
    if (!PreviewForm)
        return;
    PreviewForm->prepare(document::documentDataFrom(m_session));
    platform::dialogs().exec(*PreviewForm);
}

void TF_Main::BitBtn6Click()
{
    if (!ownerForRun())
        return;
    SharedState& st = m_session.state;
    Query& catalog = *st.QueryTable[SlotCatalog];
    const QueryRunEnd end(catalog);
    platform::setBusyCursor();
    m_dm->openCatalog(TDataModule2::CatalogForm::AllObjects, m_session.settings.LAST_OWNER);
    catalog.first();

    output::PrintRunScope run;
    // After the run scope: the failures are listed before the PDF files are named.
    FailureSummary failures;
    ObjectRunSteps steps;
    steps.failures = &failures;
    steps.chosen = [this](const CatalogRow& row) {
        Edit2->setText(m_session.state.TableName);
        Edit1->setText(row.comment);
    };
    steps.act = [this](const CatalogRow&) {
        // The load may have put a synonym's target in place of the name.
        Edit2->setText(m_session.state.TableName);
        BitBtn3Click(BitBtn6);
        return true;
    };
    steps.loadFailed = [](const CatalogRow&) {
        platform::warning(QStringLiteral("ＯＲＡＣＬＥデータベースオープンエラー。"));
    };
    steps.between = [this] {
        Edit1->repaint();
        Edit2->repaint();
    };
    runPerObject(*m_dm, m_session.settings.LAST_OWNER, queryRows(catalog), steps);
    Edit1->clear();
    Edit2->clear();
}

void TF_Main::printAllAsOneJob()
{
    const auto showing = [this](const QString& name, const QString& comment) {
        Edit2->setText(name);
        Edit1->setText(comment);
        Edit1->repaint();
        Edit2->repaint();
    };
    output::printOwnerAsOneJob(*m_dm, m_session.settings.LAST_OWNER, showing);
    Edit1->clear();
    Edit2->clear();
}

void TF_Main::BitBtn1Click() { output::ExportCsv(*m_dm, output::CsvSource::ColumnList); }

void TF_Main::BitBtn9Click() { analyzeChosenTable(); }

bool TF_Main::analyzeChosenTable()
{
    if (maintenance::analyzeChosenTable(*m_dm) != maintenance::AnalyzeResult::Reloaded)
        return false;
    // Excel follows here whatever UserSet says.
    BitBtn1->setEnabled(true);
    BitBtn3->setEnabled(true);
    BitBtn4->setEnabled(true);
    BitBtn6->setEnabled(false);
    if (m_session.state.TableType == QLatin1String("TABLE"))
        BitBtn9->setEnabled(true);
    return true;
}

void TF_Main::BitBtn8Click()
{
    if (!ownerForRun())
        return;
    maintenance::AllTablesSteps steps;
    steps.chosen = [this](const CatalogRow& row) {
        Edit2->setText(row.name);
        Edit1->setText(row.comment);
        Edit2->setText(row.name);
    };
    steps.analyze = [this] { return analyzeChosenTable(); };
    // Nothing else repaints while the run blocks the loop.
    steps.between = [this] {
        Edit1->repaint();
        Edit2->repaint();
    };
    maintenance::analyzeAllTables(*m_dm, m_session.settings.LAST_OWNER, steps);
    // An empty table name turns the table buttons off again.
    Edit1->clear();
    Edit2->clear();
}

void TF_Main::BitBtn7Click() { output::Printer().PrinterSetupDialog1(this); }

void TF_Main::Button1Click()
{
    // Clearing the owner text in code leaves LAST_OWNER; clearing Edit2 runs the table-name rule.
    runSettingsDialog(
        m_session.settings, this,
        [this] {
            ComboBox1->setEditText(QString());
            // The comment belongs to the table: it goes with the name.
            Edit1->clear();
            Edit2->clear();
        },
        [this] { FormShow(); });
    // The loaded object pages by the new setting from now on.
    m_session.state.ColumnPageCount =
        columnPageCount(m_session.state.RowCounts[SlotTabCols], m_session.settings.MaxPageRow);
}

} // namespace morvane

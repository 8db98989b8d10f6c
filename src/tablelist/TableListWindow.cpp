#include "tablelist/TableListWindow.h"
#include "tablelist/CatalogGridModel.h"
#include "tablelist/TableNavigator.h"
#include "database/DataModule.h"
#include "database/Statements.h"
#include "core/Platform.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <algorithm>

namespace morvane {

namespace {
constexpr int kClientWidth = 680;
constexpr int kClientHeight = 460;
constexpr int kPanelHeight = 89;
constexpr int kGridBorder = 4;
const char* const kCompoundKey = "TABLE_TYPE, TABLE_NAME";

QPushButton* button(const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    // Enter in the search field must not close the window through a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

// At the window's opening width every column, the last one too, must show:
// all columns narrow in proportion, none below its title.
void fitColumnsToGrid(QTableView& grid)
{
    QHeaderView& header = *grid.horizontalHeader();
    const int room = grid.width() - 2 * grid.frameWidth()
                     - grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
    const int n = header.count();
    if (n <= 0)
        return;
    QVector<int> width(n), least(n);
    int total = 0;
    for (int c = 0; c < n; ++c) {
        width[c] = header.sectionSize(c);
        least[c] =
            header.fontMetrics().horizontalAdvance(header.model()->headerData(c, Qt::Horizontal).toString())
            + 16;
        total += width[c];
    }
    if (total <= room)
        return;
    // A column held at its title leaves the rest to share what remains.
    QVector<bool> held(n, false);
    for (int pass = 0; pass < n; ++pass) {
        int heldWidth = 0, flexible = 0;
        for (int c = 0; c < n; ++c)
            (held[c] ? heldWidth : flexible) += held[c] ? least[c] : width[c];
        if (flexible <= 0)
            break;
        const double scale = double(room - heldWidth) / flexible;
        bool changed = false;
        for (int c = 0; c < n; ++c)
            if (!held[c] && width[c] * scale < least[c])
                held[c] = changed = true;
        if (!changed) {
            for (int c = 0; c < n; ++c)
                header.resizeSection(c, held[c] ? least[c] : int(width[c] * scale));
            return;
        }
    }
    for (int c = 0; c < n; ++c)
        header.resizeSection(c, least[c]);
}

} // namespace

TF_Table::TF_Table(TDataModule2& dm, Session& session, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_session(session)
{
    setObjectName(QStringLiteral("F_Table"));
    setWindowTitle(QStringLiteral("テーブル名一覧"));
    setFont(document::uiFont(12));
    buildControls();
    resize(kClientWidth, kClientHeight);
    FormCreate();
}

TF_Table::~TF_Table() = default;

void TF_Table::buildControls()
{
    buildToolPanel();
    buildGrid();
    connectControls();
}

void TF_Table::buildToolPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    Edit2 = new QLineEdit(Panel1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setReadOnly(true);
    Edit2->setToolTip(QStringLiteral("ソート順"));
    QPalette grey = Edit2->palette();
    grey.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    Edit2->setPalette(grey);
    place(Edit2, 8, 5, 150, 20);

    Edit1 = new UpperCaseEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setToolTip(QStringLiteral("検索条件入力"));
    Edit1->setMaxLength(20);
    Edit1->setAttribute(Qt::WA_InputMethodEnabled, false);
    Edit1->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhPreferUppercase);
    place(Edit1, 8, 28, 150, 20);

    SpeedPrior = button(QStringLiteral("前を検索"), Panel1);
    SpeedPrior->setObjectName(QStringLiteral("SpeedPrior"));
    SpeedPrior->setToolTip(QStringLiteral("前のﾃﾞｰﾀ検索開始"));
    SpeedPrior->setFocusPolicy(Qt::NoFocus);
    place(SpeedPrior, 164, 5, 80, 21);

    SpeedNext = button(QStringLiteral("後を検索"), Panel1);
    SpeedNext->setObjectName(QStringLiteral("SpeedNext"));
    SpeedNext->setToolTip(QStringLiteral("後ろのﾃﾞｰﾀ検索開始"));
    SpeedNext->setFocusPolicy(Qt::NoFocus);
    place(SpeedNext, 164, 28, 80, 21);

    DBNavigator = new TableNavigator(m_dm.AQ_Catalog, Panel1);
    DBNavigator->setObjectName(QStringLiteral("DBNavigator"));
    place(DBNavigator, 8, 53, 236, 30);

    BitBtn1 = button(QStringLiteral("Excelへ出力"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setEnabled(false);
    place(BitBtn1, 250, 5, 100, 38);

    BitBtn3 = button(QStringLiteral("マルチ印刷"), Panel1);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setEnabled(false);
    place(BitBtn3, 250, 45, 100, 38);

    BitFind = button(QStringLiteral("選択(&S)"), Panel1);
    BitFind->setObjectName(QStringLiteral("BitFind"));
    BitFind->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitFind->setVisible(false);

    BitClose = button(QStringLiteral("終了(&C)"), Panel1);
    BitClose->setObjectName(QStringLiteral("BitClose"));
    BitClose->setToolTip(QStringLiteral("終了"));
    BitClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
}

void TF_Table::buildGrid()
{
    Panel2 = new QFrame(this);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    DBGrid1 = new QTableView(Panel2);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setWordWrap(false);
    DBGrid1->setAlternatingRowColors(false);
    DBGrid1->verticalHeader()->setVisible(false);
    // Fixed row heights keep a reset over tens of thousands of rows cheap.
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->horizontalHeader()->setStretchLastSection(false);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    // The hint shows over the rows and over the titles alike.
    const QString gridHint = QStringLiteral("タイトルをクリックすると、ソートします。");
    for (QWidget* w :
         {static_cast<QWidget*>(DBGrid1), DBGrid1->viewport(),
          static_cast<QWidget*>(DBGrid1->horizontalHeader()), DBGrid1->horizontalHeader()->viewport()})
        w->setToolTip(gridHint);

    m_model = new CatalogGridModel(m_dm.AQ_Catalog, this);
    DBGrid1->setModel(m_model);
    const int charWidth = DBGrid1->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const auto& cols = CatalogGridModel::gridColumns();
    const QFontMetrics titleMetrics(DBGrid1->horizontalHeader()->font());
    for (int c = 0; c < cols.size(); ++c) {
        // A title wider than the values widens its column, so it is never cut.
        const int w =
            std::max(cols[c].displayWidth * charWidth, titleMetrics.horizontalAdvance(cols[c].title) + 8);
        DBGrid1->horizontalHeader()->resizeSection(c, w + 8);
    }
}

void TF_Table::connectControls()
{
    connect(&m_dm.AQ_Catalog, &Query::currentRowChanged, this, &TF_Table::followCursor);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { gridCurrentChanged(current); });
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { runGuarded([&] { DBGrid1TitleClick(column); }); });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    connect(SpeedPrior, &QPushButton::clicked, this,
            [this] { runGuarded([this] { SpeedPriorClick(SpeedPrior); }); });
    connect(SpeedNext, &QPushButton::clicked, this,
            [this] { runGuarded([this] { SpeedPriorClick(SpeedNext); }); });
    connect(BitFind, &QPushButton::clicked, this, [this] { BitFindClick(); });
    connect(BitClose, &QPushButton::clicked, this, [this] { BitCloseClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        if (onExport)
            runGuarded(onExport);
    });
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        if (onMultiPrint)
            runGuarded(onMultiPrint);
    });
}

void TF_Table::FormCreate()
{
    layoutControls();
    fitColumnsToGrid(*DBGrid1);
    Edit1->clear();
}

void TF_Table::layoutControls()
{
    const int w = width();
    Panel1->setGeometry(0, 0, w, kPanelHeight);
    place(BitClose, Panel1->width() - 100, 12, 90, 65);
    place(BitFind, Panel1->width() - 200, 12, 90, 65);
    Panel2->setGeometry(0, kPanelHeight, w, std::max(0, height() - kPanelHeight));
    const int inset = kGridBorder;
    DBGrid1->setGeometry(inset, inset, std::max(0, Panel2->width() - 2 * inset),
                         std::max(0, Panel2->height() - 2 * inset));
}

void TF_Table::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void TF_Table::FormShow()
{
    BitBtn1->setEnabled(true);
    BitBtn1->setToolTip(QStringLiteral("テーブル名一覧を、ＥＸＣＥＬへ出力します。"));
    BitBtn3->setEnabled(true);
    BitBtn3->setToolTip(QStringLiteral("選択したテーブルの仕様書を印刷する。（マルチ選択ＯＫ）"));
}

void TF_Table::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            move(avail.center() - rect().center());
        }
    }
    FormShow();
    Edit1->setFocus();
}

void TF_Table::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the window only once the close button has become a cancel button.
    if (event->key() == Qt::Key_Escape && !m_cancelMode) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TF_Table::prepareForChoice(const QString& owner)
{
    Edit2->setText(QStringLiteral("テーブル名"));
    setWindowTitle(QStringLiteral("テーブル名一覧(") + owner + QStringLiteral(")"));
    BitFind->setVisible(true);
    BitClose->setText(QStringLiteral("キャンセル"));
    m_cancelMode = true;
}

Query& TF_Table::catalogQuery()
{
    // The window only ever works on the catalog, also after another job
    // (a multi-print's dictionary loads) left the data module on another slot.
    m_dm.Tag = SlotCatalog;
    Query* q = m_dm.currentQuery();
    if (!q)
        throw DbError(QStringLiteral("AQ_Catalog がありません"));
    return *q;
}

void TF_Table::RefreshCatalog()
{
    const platform::NormalCursorOnExit restore;
    SharedState& st = m_session.state;
    if (st.CatalogSortCaption.isEmpty())
        return;
    Edit2->setText(st.CatalogSortCaption + QStringLiteral("順"));
    catalogQuery().close();
    Edit1->setAttribute(Qt::WA_InputMethodEnabled, false);
    DBGrid1->clearSelection();
    m_dm.openCatalog(TDataModule2::CatalogForm::TableList, m_session.settings.LAST_OWNER, st.CatalogSortKey);
    DBGrid1->clearSelection();
    if (isActiveWindow())
        Edit1->setFocus();
}

void TF_Table::DBGrid1TitleClick(int column)
{
    const auto& cols = CatalogGridModel::gridColumns();
    if (column < 0 || column >= cols.size())
        return;
    Edit1->clear();
    const QString field = cols[column].field;
    SharedState& st = m_session.state;
    st.CatalogSortKey = field == QLatin1String("TABLE_TYPE") ? QString::fromLatin1(kCompoundKey) : field;
    st.CatalogSortCaption = cols[column].title;
    RefreshCatalog();
}

QString TF_Table::searchField() const
{
    const QString& key = m_session.state.CatalogSortKey;
    // The compound order names no single column; search the name the list shows.
    if (key == QLatin1String(kCompoundKey))
        return QStringLiteral("TABLE_NAME");
    return key;
}

void TF_Table::SpeedPriorClick(QPushButton* sender)
{
    const QString text = Edit1->text();
    if (text.isEmpty()) {
        platform::error(QStringLiteral("検索する条件を入力して下さい。"));
        return;
    }
    catalogQuery();
    if (sender == SpeedNext)
        m_dm.SearchForward(searchField(), text);
    else if (sender == SpeedPrior)
        m_dm.SearchBackward(searchField(), text);
}

void TF_Table::DBGrid1DblClick() { accept(); }

void TF_Table::BitFindClick()
{
    // An empty list has no row to choose; the window stays open.
    if (m_dm.AQ_Catalog.currentRow() < 0)
        return;
    accept();
}

void TF_Table::BitCloseClick() { reject(); }

void TF_Table::followCursor(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_following = true;
    const int column = std::max(0, DBGrid1->currentIndex().column());
    const QModelIndex idx = m_model->index(row, column);
    DBGrid1->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
    DBGrid1->scrollTo(idx, QAbstractItemView::EnsureVisible);
    m_following = false;
}

void TF_Table::gridCurrentChanged(const QModelIndex& current)
{
    if (m_following || !current.isValid())
        return;
    Query& q = m_dm.AQ_Catalog;
    if (q.isOpen() && current.row() != q.currentRow())
        runGuarded([&] { q.gotoBookmark(current.row()); });
}

QList<Bookmark> TF_Table::selectedBookmarks() const
{
    QList<Bookmark> rows;
    const QModelIndexList sel = DBGrid1->selectionModel()->selectedRows();
    rows.reserve(sel.size());
    for (const QModelIndex& i : sel)
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TF_Table::selectBookmarks(const QList<Bookmark>& rows)
{
    QItemSelection selection;
    const int last = m_model->columnCount() - 1;
    for (Bookmark r : rows)
        if (r >= 0 && r < m_model->rowCount())
            selection.select(m_model->index(r, 0), m_model->index(r, last));
    DBGrid1->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

} // namespace morvane

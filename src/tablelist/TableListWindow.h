#pragma once
// The table list window: the catalog of one owner in a sortable, searchable
// grid, from which the user picks one object or selects several.
#include "core/AppState.h"
#include "database/Query.h"
#include <QDialog>
#include <QList>
#include <functional>

class QFrame;
class QLineEdit;
class QPushButton;
class QTableView;

namespace morvane {

class TDataModule2;
class CatalogGridModel;
class TableNavigator;

class TF_Table : public QDialog {
    Q_OBJECT
public:
    TF_Table(TDataModule2& dm, Session& session, QWidget* parent = nullptr);
    ~TF_Table() override;

    QLineEdit* Edit2; // sort field
    QLineEdit* Edit1; // search field
    QPushButton* SpeedPrior;
    QPushButton* SpeedNext;
    QPushButton* BitBtn1; // "Excelへ出力"
    QPushButton* BitBtn3; // "マルチ印刷"
    QPushButton* BitFind;
    QPushButton* BitClose;
    QTableView* DBGrid1;
    TableNavigator* DBNavigator;
    QFrame* Panel1; // top panel
    QFrame* Panel2; // border around the grid

    // Filled by the main window; the buttons do nothing without them.
    std::function<void()> onExport;
    std::function<void()> onMultiPrint;
    // The multi-print's ties to the main window: show a name, print the loaded object.
    std::function<void(const QString&)> showTableName;
    std::function<void(QObject* sender)> printLoaded;

    void FormCreate();
    void FormShow();
    // Re-runs the catalog query in the current order; nothing while no sort caption is set.
    void RefreshCatalog();
    void DBGrid1TitleClick(int column);
    void DBGrid1DblClick();
    void SpeedPriorClick(QPushButton* sender);
    void BitFindClick();
    void BitCloseClick();
    // Multi-print: loads and prints each selected row in list order.
    void BitBtn3Click();

    // Sort caption, window caption, choose button, close button as cancel.
    void prepareForChoice(const QString& owner);
    bool closesAsCancel() const { return m_cancelMode; }

    // Row positions of the grid's multiple selection, in ascending order.
    QList<Bookmark> selectedBookmarks() const;
    void selectBookmarks(const QList<Bookmark>& rows);

    CatalogGridModel* gridModel() const { return m_model; }
    // The column a search looks in for the current order.
    QString searchField() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildToolPanel();  // Panel1: sort order, search field and buttons, navigator, command buttons
    void buildGrid();       // Panel2: the catalog grid, its model and column widths
    void connectControls(); // the grid, the query's cursor and the buttons to their handlers
    void layoutControls();
    void followCursor(int row);
    void gridCurrentChanged(const QModelIndex& current);
    Query& catalogQuery();

    TDataModule2& m_dm;
    Session& m_session;
    CatalogGridModel* m_model = nullptr;
    bool m_following = false;
    bool m_cancelMode = false;
    bool m_shownOnce = false;
};

} // namespace morvane

#pragma once
// F_Main: the main window, holding the shared state and the handlers that
// reach into each subsystem.
#include "core/AppState.h"
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QAction;

namespace morvane {

namespace output {
class TPreviewForm;
}
class TDataModule2;
class SettingsStore;

class TF_Main : public QWidget {
    Q_OBJECT
public:
    TF_Main(Session& session, SettingsStore& store, QWidget* parent = nullptr);
    ~TF_Main() override; // FormDestroy: writes the settings

    void setDataModule(TDataModule2* dm) { m_dm = dm; }
    // Created at start-up; the preview button opens it.
    void setPreviewForm(output::TPreviewForm* preview) { PreviewForm = preview; }

    // Controls under their established names; the comment gives each one's caption or role.
    QFrame* Panel1;          // banner shadow
    QFrame* Panel2;          // banner 「Morvane（by ADO）」
    QLabel* Label3;          // 「ServerName：」
    QLabel* LabelAlias;      // the server name (LAST_ALIAS)
    QPushButton* BitConnect; // 「Connect」: reconnect
    QPushButton* BitBtn2;    // 「問合せ」: the table list
    QLabel* Label1;          // 「ＯＷＮＥＲ ：」
    QComboBox* ComboBox1;    // the owner field
    QLabel* Label2;          // 「テーブル名 ：」
    QLineEdit* Edit2;        // the chosen table name (read-only)
    QLabel* Label4;          // 「コ メ ン ト ：」
    QLineEdit* Edit1;        // the chosen table's comment (read-only)
    QFrame* Panel3;          // holds the six action buttons
    QPushButton* BitBtn3;    // 「印刷」
    QPushButton* BitBtn4;    // 「Preview」
    QPushButton* BitBtn9;    // 「ANALYZE」: the chosen table
    QPushButton* BitBtn6;    // 「全印刷」: every object of the owner
    QPushButton* BitBtn1;    // 「Excel」: the column list as CSV
    QPushButton* BitBtn8;    // 「全ANALYZE」: every table of the owner
    QPushButton* BitBtn7;    // 「ﾌﾟﾘﾝﾀｰ設定」
    QPushButton* BitBtn5;    // 「閉じる(&C)」: ends the program
    QAction* N1;             // hidden menu item 「設定」, Shift+Insert

    void FormCreate();
    void FormShow();
    void FormPaint();
    void FormDestroy();
    void Edit2Change();

    void FillOwnerList();
    void AdjustOwnerList();
    void ComboBox1Change();
    // A user's edit of the owner field: completes to the first entry that
    // starts with the typed text, then runs the change handler.
    void ownerTextEdited(const QString& text);

    void BitBtn2Click();
    void BitConnectClick();
    // Prints the loaded object; the range dialog asks unless Sender is the print-all button.
    void BitBtn3Click(QObject* Sender = nullptr);
    void BitBtn4Click();
    void BitBtn6Click();
    // 全印刷's context menu: the owner as one job with its contents first.
    void printAllAsOneJob();
    void BitBtn1Click();
    void BitBtn9Click();
    void BitBtn8Click();
    void BitBtn7Click();
    void Button1Click();

    QStringList ownerEntries() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window and its controls. The steps run in this order: a later control lies
    // above an earlier one (Panel2 over its shadow), and focus starts in creation order.
    void buildControls();
    void buildBanner();         // Panel1, Panel2 and the title on it
    void buildObjectFields();   // server name, Connect, 問合せ, owner, table name, comment
    void buildActionButtons();  // Panel3's six buttons, printer setup, close
    void addSettingsShortcut(); // N1
    void setTabOrderAndInitialState();
    void connectButtons();    // each button, N1 and the two read-only fields to their handler
    void connectOwnerField(); // the owner field's edits, its Shift+Insert filter, its focus
    // ANALYZE and reload of the chosen table with the buttons that follow; false when it failed.
    bool analyzeChosenTable();
    // The owner a per-owner run acts on: the field's text, or a warning when it is empty.
    bool ownerForRun();

    Session& m_session;
    SettingsStore& m_store;
    TDataModule2* m_dm = nullptr;
    output::TPreviewForm* PreviewForm = nullptr;
    bool m_destroyed = false;
    bool m_shownOnce = false;
    // The owner field as it was before the edit being handled: text and the
    // span that a typed key replaces (the selection, or the cursor).
    struct OwnerFieldState {
        QString text;
        int start = 0;
        int length = 0;
    };
    void rememberOwnerField();
    bool oneKeyTyped(const QString& typed) const;
    OwnerFieldState m_ownerBefore;
};

} // namespace morvane

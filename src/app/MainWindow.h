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
    ~TF_Main() override;   // FormDestroy: writes the settings

    void setDataModule(TDataModule2* dm) { m_dm = dm; }
    // Created at start-up; the preview button opens it.
    void setPreviewForm(output::TPreviewForm* preview) { PreviewForm = preview; }

    // Controls, named as the program's documentation names them.
    QFrame* Panel1;
    QFrame* Panel2;
    QLabel* Label3;
    QLabel* LabelAlias;
    QPushButton* BitConnect;
    QPushButton* BitBtn2;
    QLabel* Label1;
    QComboBox* ComboBox1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QLabel* Label4;
    QLineEdit* Edit1;
    QFrame* Panel3;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* BitBtn9;
    QPushButton* BitBtn6;
    QPushButton* BitBtn1;
    QPushButton* BitBtn8;
    QPushButton* BitBtn7;
    QPushButton* BitBtn5;
    QAction* N1;

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
    // Filled by later work; until then they say so instead of pretending.
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

private:
    void buildControls();
    // ANALYZE and reload of the chosen table with the buttons that follow; false when it failed.
    bool analyzeChosenTable();

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

#pragma once
// F_Settei: the settings dialog behind the hidden "設定" command. It has no
// OK or Cancel button: what its fields hold when it closes is taken over.
#include "core/AppState.h"
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace morvane {

class SaNumEdit;

class TF_Settei : public QDialog {
    Q_OBJECT
public:
    explicit TF_Settei(QWidget* parent = nullptr);

    QLabel* Label2;              // 「印刷者名」
    QLineEdit* Edit_PrintName;   // PRINT_NAME
    QLabel* Label3;              // 「LogOnﾊﾟｽﾜｰﾄﾞ」
    QLabel* Label4;              // 「(Oracle Sys)」
    QLineEdit* EditLogonPass;    // U_LogOn, the stored logon password
    QLabel* Label5;              // 「Server Name」
    QLineEdit* Edit_Alias;       // LAST_ALIAS
    QCheckBox* CheckBox2;        // UserSet2: ask for the server at start
    QFrame* Panel1;              // holds CheckBox1 and RichEdit1
    QCheckBox* CheckBox1;        // UserSet: a user-defined owner list
    QPlainTextEdit* RichEdit1;   // U_SetOwner, one owner a line
    QLabel* Label6;              // 「５．テーブル項目情報の１ページ最大行数」
    SaNumEdit* SaNumEdit1;       // MaxPageRow
    QLabel* LabelCsv;            // 「ＣＳＶ出力の文字コード」
    QComboBox* ComboCsvEncoding; // CSV_ENCODING

    // The main window's owner and table-name fields, cleared by CheckBox1Click.
    std::function<void()> clearOwnerAndTable;

    void fillFrom(const AppSettings& s);
    // Takes the fields over; the rows field first, so a bad number takes nothing.
    void takeOver(AppSettings& s) const;
    // False, with the message shown and the focus on the rows field, while it holds no number.
    bool rowsFieldValid();

    void applyEnabledState();
    void CheckBox1Click();
    void Edit_PassChange();
    void RichEdit1Exit();
    void FormCloseQuery();

protected:
    void done(int result) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void setRichEditEnabled(bool on);
};

// The settings flow: fill, show modally, take over, refill the owner list
// (formShow); the cursor is reset and the dialog released in every case.
void runSettingsDialog(AppSettings& settings, QWidget* parent,
                       const std::function<void()>& clearOwnerAndTable,
                       const std::function<void()>& formShow);

} // namespace morvane

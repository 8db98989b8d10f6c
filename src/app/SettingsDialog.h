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

    QLabel* Label2;
    QLineEdit* Edit_PrintName;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* EditLogonPass;
    QLabel* Label5;
    QLineEdit* Edit_Alias;
    QCheckBox* CheckBox2;
    QFrame* Panel1;
    QCheckBox* CheckBox1;
    QPlainTextEdit* RichEdit1;
    QLabel* Label6;
    SaNumEdit* SaNumEdit1;
    QLabel* LabelCsv;
    QComboBox* ComboCsvEncoding;   // CSV_ENCODING

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

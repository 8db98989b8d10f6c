#pragma once
// F_Alias: the login dialog (server name, user name, password).
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace morvane {

class TF_Alias : public QDialog {
    Q_OBJECT
public:
    explicit TF_Alias(QWidget* parent = nullptr);

    QLineEdit* EditAlias; // 「Server Name」
    QLineEdit* Edit2;     // 「ユーザー名」
    QLineEdit* EditPass;  // 「パスワード」
    QPushButton* BitBtn1; // ＯＫ
    QPushButton* BitBtn2; // ｷｬﾝｾﾙ

    // What showing the dialog does to its fields: the user name becomes SYS,
    // white and editable, and the focus goes to the first empty field.
    void prepareShow();

protected:
    void showEvent(QShowEvent* e) override;
};

} // namespace morvane

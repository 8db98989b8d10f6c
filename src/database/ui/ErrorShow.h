#pragma once
// F_ErrorShow: help text after a failed start-up connection.
#include <QDialog>

class QPlainTextEdit;

namespace morvane {

class TF_ErrorShow : public QDialog {
    Q_OBJECT
public:
    explicit TF_ErrorShow(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1;
    // The server's own words, offered as the text's tooltip.
    void setServerMessage(const QString& message);
    static QStringList helpLines();
};

} // namespace morvane

#pragma once
// F_ErrorShow: help text after a failed start-up connection, the reason first.
#include <QDialog>

class QPlainTextEdit;

namespace morvane {

class TF_ErrorShow : public QDialog {
    Q_OBJECT
public:
    explicit TF_ErrorShow(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1;
    // The failure in the words of the server, the client library or the
    // dictionary file, put in front of the help text, whole and selectable.
    void setServerMessage(const QString& message);
    // What to check, for the client this program really uses.
    static QStringList helpLines();
    static QStringList textLines(const QString& message);
};

} // namespace morvane

#pragma once
// The wait dialog shown while one object's dictionary data is loaded.
#include "database/DataModule.h"
#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;

namespace morvane {

class TF_ForMoment : public QDialog, public IWaitDialog {
    Q_OBJECT
public:
    explicit TF_ForMoment(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* Image1;
    QLabel* Label2; // "Now Loading..."
    QLabel* Label1; // "しばらくお待ち下さい．．．"
    QProgressBar* ProgressBar1;

    void showProgress(int maximum) override;
    void setProgress(int position) override;
    void hideProgress() override;

    int position() const;
    int maximum() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void repaintNow();
};

} // namespace morvane

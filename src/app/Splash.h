#pragma once
// SplashForm: shown while the windows are created and the connection opens.
#include <QDialog>

class QProgressBar;

namespace morvane {

class TSplashForm : public QDialog {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    QProgressBar* ProgressBar1;
    // Sets the progress and repaints at once: the message loop is not running yet.
    void setProgress(int position);
    void repaintNow();
};

// The program's icon, drawn in code.
QPixmap programIcon(int size);

} // namespace morvane

#pragma once
// F_PrnSet1: the print range dialog ("全ページ" / "２ページ以降").
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace morvane::output {

class TF_PrnSet1 : public QDialog {
    Q_OBJECT
public:
    explicit TF_PrnSet1(QWidget* parent = nullptr);

    QLabel* Label1;
    QGroupBox* RadioGroup1;
    QRadioButton* Item0;  // "全ページ"
    QRadioButton* Item1;  // "２ページ以降"
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // キャンセル

    void setTableName(const QString& name);
    int itemIndex() const;
    void setItemIndex(int index);
};

} // namespace morvane::output

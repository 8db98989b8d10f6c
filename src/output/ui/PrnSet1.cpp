#include "output/ui/PrnSet1.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace morvane::output {

TF_PrnSet1::TF_PrnSet1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("F_PrnSet1"));
    setWindowTitle(QStringLiteral("印刷設定"));
    setFont(document::uiFont(12));
    setFixedSize(275, 150);

    Label1 = new QLabel(this);
    Label1->setFont(document::pGothicFont(13));
    place(Label1, 8, 7, 260, 16);

    RadioGroup1 = new QGroupBox(QStringLiteral("印刷範囲指定"), this);
    place(RadioGroup1, 26, 25, 117, 81);
    Item0 = new QRadioButton(QStringLiteral("全ページ"), RadioGroup1);
    place(Item0, 10, 24, 100, 20);
    Item1 = new QRadioButton(QStringLiteral("２ページ以降"), RadioGroup1);
    place(Item1, 10, 50, 100, 20);
    Item1->setChecked(true);

    BitBtn1 = glyphButton(QStringLiteral("OK"), QStyle::SP_DialogOkButton, this);
    place(BitBtn1, 150, 28, 90, 33);
    BitBtn1->setDefault(true);
    BitBtn2 = glyphButton(QStringLiteral("キャンセル"), QStyle::SP_DialogCancelButton, this);
    place(BitBtn2, 150, 68, 90, 33);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_PrnSet1::setTableName(const QString& name) { Label1->setText(QStringLiteral("テーブル名：") + name); }

int TF_PrnSet1::itemIndex() const { return Item0->isChecked() ? 0 : Item1->isChecked() ? 1 : -1; }

void TF_PrnSet1::setItemIndex(int index) { (index == 0 ? Item0 : Item1)->setChecked(true); }

} // namespace morvane::output

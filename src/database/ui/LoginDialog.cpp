#include "database/ui/LoginDialog.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace morvane {

TF_Alias::TF_Alias(QWidget* parent) : QDialog(parent)
{
    setObjectName("F_Alias");
    setWindowTitle(QStringLiteral("データベースへのログイン"));
    setOuterSize(this, 317, 190);
    setFont(document::uiFont(16));

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    place(panel, 18, 8, 273, 89);

    const QFont labelFont = document::uiFont(13);
    struct Row {
        const char* label;
        int top;
    };
    const Row rows[] = {{"Server Name", 10}, {"ユーザー名", 34}, {"パスワード", 58}};
    for (const Row& r : rows) {
        auto* l = new QLabel(QString::fromUtf8(r.label), panel);
        l->setFont(labelFont);
        placeAt(l, 12, r.top + 3);
    }

    EditAlias = new UpperCaseEdit(panel);
    EditAlias->setObjectName("EditAlias");
    place(EditAlias, 108, 10, 150, 21);
    EditAlias->setToolTip(QStringLiteral("ORACLE ﾃﾞｰﾀﾍﾞｰｽ別名を入力して下さい。"));

    Edit2 = new UpperCaseEdit(panel);
    Edit2->setObjectName("Edit2");
    place(Edit2, 108, 34, 150, 21);

    EditPass = new QLineEdit(panel);
    EditPass->setObjectName("EditPass");
    place(EditPass, 108, 58, 150, 21);
    makePasswordField(EditPass);
    EditPass->setToolTip(QStringLiteral("上記エリアス名のSYSTEMユーザーのパスワード"));

    const QFont buttonFont = document::uiFont(15);
    BitBtn1 = glyphButton(QStringLiteral("ＯＫ"), QStyle::SP_DialogApplyButton, this);
    BitBtn1->setObjectName("BitBtn1");
    place(BitBtn1, 96, 112, 90, 40);
    BitBtn1->setFont(buttonFont);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    BitBtn2 = glyphButton(QStringLiteral("ｷｬﾝｾﾙ"), QStyle::SP_DialogCancelButton, this);
    BitBtn2->setObjectName("BitBtn2");
    place(BitBtn2, 201, 112, 90, 40);
    BitBtn2->setFont(buttonFont);
    BitBtn2->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(EditAlias, Edit2);
    setTabOrder(Edit2, EditPass);
    setTabOrder(EditPass, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
}

void TF_Alias::prepareShow()
{
    Edit2->setReadOnly(false);
    Edit2->setEnabled(true);
    setFieldBackground(Edit2, Qt::white);
    Edit2->setText(QStringLiteral("SYS"));
    // Typing must go into the first field still to fill; with all filled, OK.
    QWidget* first = BitBtn1;
    for (QLineEdit* e : {EditAlias, Edit2, EditPass}) {
        if (e->text().isEmpty()) {
            first = e;
            break;
        }
    }
    first->setFocus(Qt::TabFocusReason);
}

void TF_Alias::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    prepareShow();
}

} // namespace morvane

#include "database/ui/ErrorShow.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace morvane {

QStringList TF_ErrorShow::helpLines()
{
    const QString F = QStringLiteral("\u3000");
    const QString S = QStringLiteral(" ");
    return {
        QString(),
        F + QStringLiteral("ＯＲＡＣＬＥとの接続ができません。次の３点を確認して下さい。"),
        QString(),
        S + S + QStringLiteral("①　パスワード・接続先は間違っていないか？"),
        S + S + QStringLiteral("②　Ｓｑｌ*Ｎｅｔが正しくインストール・設定・動作しているか？"),
        S + S + QStringLiteral("③　ADO(MADC)2.1以降がインストールされているか？"),
        F + F + QStringLiteral("インストールされていない場合は、下記を参照してください。"),
        QString(),
        F + F + F + F + QStringLiteral("＝＝＝＝＝＝＝＝＝　記　＝＝＝＝＝＝＝＝＝"),
        QString(),
        S + S + F + QStringLiteral("Morvaneは、Ｏｒａｃｌｅとの接続にＡＤＯ利用の為、"),
        F + QStringLiteral("ADO「Microsoft Data Access Component（MDAC)」がｲﾝｽﾄｰﾙされている"),
        F + QStringLiteral("必要があります。ｲﾝｽﾄｰﾙされている場合は、"),
        F + QStringLiteral("C:\\Program Files\\Common Files\\System\\ole db\\MSDAORA.DLL が存在します。"),
        QString(),
        F + QStringLiteral("ファイルが存在しない場合は、Microsoft Home Pageから「MADC」ﾓｼﾞｭｰﾙ"),
        F + QStringLiteral("「MDAC_TYP.EXE」をダウンロード・インストールする必要があります。"),
        QString(),
        F + QStringLiteral("Microsoft Universal Data Access にようこそ！"),
        F + QStringLiteral("http://www.microsoft.com/data/"),
        QString(),
        F + QStringLiteral("①Microsoft Data Access Component(MDAC) 2.8 ﾀﾞｳﾝﾛｰﾄﾞを"),
        F + F + QStringLiteral("クリックする。"),
        F + QStringLiteral("②「ﾀﾞｳﾝﾛｰﾄﾞ」をクリックし、指示に従ってインストールする。"),
        QString(),
        QString(28, QChar(0x3000)) + QStringLiteral("以上") + F + S + S,
        QString(),
    };
}

TF_ErrorShow::TF_ErrorShow(QWidget* parent) : QDialog(parent)
{
    setObjectName("F_ErrorShow");
    setWindowTitle(QStringLiteral("エラー情報"));
    setOuterSize(this, 446, 384);
    setFont(document::uiFont(12));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    setFieldBackground(Memo1, Memo1->palette().color(QPalette::Button));
    Memo1->setPlainText(helpLines().join('\n'));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

void TF_ErrorShow::setServerMessage(const QString& message) { Memo1->setToolTip(message); }

} // namespace morvane

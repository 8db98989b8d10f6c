#include "database/ui/ErrorShow.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace morvane {

namespace {
#ifdef Q_OS_WIN
const char* const kClientLibrary = "oci.dll";
const char* const kClientSearch[] = {"PATH", "ORACLE_HOME\\bin"};
#else
const char* const kClientLibrary = "libclntsh.so";
const char* const kClientSearch[] = {"LD_LIBRARY_PATH", "ORACLE_HOME/lib"};
#endif
} // namespace

QStringList TF_ErrorShow::helpLines()
{
    const QString F = QStringLiteral("\u3000");
    const QString S = QStringLiteral(" ");
    return {
        F + QStringLiteral("ＯＲＡＣＬＥとの接続ができません。次の３点を確認して下さい。"),
        QString(),
        S + S + QStringLiteral("①　パスワード・接続先は間違っていないか？"),
        S + S + QStringLiteral("②　Ｓｑｌ*Ｎｅｔが正しくインストール・設定・動作しているか？"),
        S + S + QStringLiteral("③　Oracle クライアント (OCI) がインストールされているか？"),
        F + F + QStringLiteral("インストールされていない場合は、下記を参照してください。"),
        QString(),
        F + F + F + F + QStringLiteral("＝＝＝＝＝＝＝＝＝　記　＝＝＝＝＝＝＝＝＝"),
        S + S + F + QStringLiteral("Morvaneは、Ｏｒａｃｌｅとの接続に Oracle クライアント"),
        F
            + QStringLiteral("(OCI) のライブラリ %1 を使います（Instant Client も可）。")
                  .arg(QLatin1String(kClientLibrary)),
        F + QStringLiteral("探す場所：環境変数 MORVANE_OCI_LIBRARY のファイル、"),
        F
            + QStringLiteral("なければ %1、%2、既定の検索パス。")
                  .arg(QLatin1String(kClientSearch[0]), QLatin1String(kClientSearch[1])),
        QString(),
        F + QStringLiteral("接続先 (Server Name) には tnsnames.ora のネットサービス名"),
        F + QStringLiteral("（TNS_ADMIN のフォルダ）か「ホスト:ポート/サービス名」を、"),
        F + QStringLiteral("ユーザー名・パスワードにはそのデータベースのアカウントを入力します。"),
        F + QStringLiteral("接続先と同じ名前の辞書ファイル (名前.db) が壊れている場合は、"),
        F + QStringLiteral("そのファイルを作り直すか、削除して下さい。"),
        QString(28, QChar(0x3000)) + QStringLiteral("以上") + F + S + S,
    };
}

QStringList TF_ErrorShow::textLines(const QString& message)
{
    QStringList lines;
    if (!message.trimmed().isEmpty())
        lines << QStringLiteral("原因：") + message.trimmed() << QString();
    return lines + helpLines();
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
    // The reason is there to be copied into a search or a support request.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFieldBackground(Memo1, Memo1->palette().color(QPalette::Button));
    Memo1->setPlainText(textLines(QString()).join('\n'));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

void TF_ErrorShow::setServerMessage(const QString& message)
{
    Memo1->setPlainText(textLines(message).join('\n'));
}

} // namespace morvane

#include "app/SettingsDialog.h"
#include "widgets/NumEdit.h"
#include "widgets/QtPlatform.h"
#include "core/Platform.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include "output/CsvWriter.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>

namespace morvane {

namespace {

// Upper-case field whose text is not selected when the focus arrives.
class KeepCaretEdit : public UpperCaseEdit {
public:
    using UpperCaseEdit::UpperCaseEdit;

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        UpperCaseEdit::focusInEvent(e);
        deselect();
        setCursorPosition(text().size());
    }
};

void setBase(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

QLabel* label(const QString& text, int left, int top, int px, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(document::uiFont(px));
    placeAt(l, left, top);
    return l;
}

} // namespace

TF_Settei::TF_Settei(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("F_Settei"));
    setWindowTitle(QStringLiteral("設定"));
    // Room below the rows field for the CSV encoding.
    setOuterSize(this, 410, 428);
    setFont(document::uiFont(12));
    buildControls();
}

void TF_Settei::buildControls()
{
    Label2 = label(QStringLiteral("印刷者名"), 51, 50, 15, this);
    Edit_PrintName = new UpperCaseEdit(this);
    Edit_PrintName->setObjectName(QStringLiteral("Edit_PrintName"));
    place(Edit_PrintName, 134, 46, 180, 23);

    Label3 = label(QStringLiteral("LogOnﾊﾟｽﾜｰﾄﾞ"), 33, 78, 15, this);
    Label4 = label(QStringLiteral("(Oracle Sys)"), 49, 96, 12, this);
    EditLogonPass = new KeepCaretEdit(this);
    EditLogonPass->setObjectName(QStringLiteral("EditLogonPass"));
    makePasswordField(EditLogonPass);
    EditLogonPass->setToolTip(QStringLiteral("最後にログオンした、ＳＹＳのパスワード"));
    place(EditLogonPass, 134, 74, 180, 23);

    Label5 = label(QStringLiteral("Server Name"), 37, 118, 15, this);
    Edit_Alias = new KeepCaretEdit(this);
    Edit_Alias->setObjectName(QStringLiteral("Edit_Alias"));
    Edit_Alias->setToolTip(QStringLiteral("最後にログオンした、ORACLE ﾃﾞｰﾀﾍﾞｰｽ別名"));
    place(Edit_Alias, 134, 114, 180, 23);

    CheckBox2 = new QCheckBox(QStringLiteral("ORACLE ﾃﾞｰﾀﾍﾞｰｽ別名を起動時指定する。"), this);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setFont(document::uiFont(16));
    CheckBox2->setToolTip(QStringLiteral("チェックすると、ORACLE ﾃﾞｰﾀﾍﾞｰｽ別名を起動時指定する。"));
    place(CheckBox2, 37, 150, 324, 17);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    place(Panel1, 37, 180, 285, 125);
    CheckBox1 = new QCheckBox(QStringLiteral("ＯＷＮＥＲ名をユーザー定義する。"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setFont(document::pGothicFont(16));
    CheckBox1->setToolTip(QStringLiteral("チェックすると、ＯＷＮＥＲ名をユーザー定義出来る"));
    place(CheckBox1, 24, 6, 249, 17);
    RichEdit1 = new QPlainTextEdit(Panel1);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setFont(document::minchoFont(15));
    RichEdit1->setTabChangesFocus(true);
    place(RichEdit1, 30, 28, 225, 89);

    Label6 = label(QStringLiteral("５．テーブル項目情報の１ページ最大行数"), 37, 318, 15, this);
    SaNumEdit1 = new SaNumEdit(this);
    SaNumEdit1->setObjectName(QStringLiteral("SaNumEdit1"));
    place(SaNumEdit1, 332, 315, 40, 20);

    LabelCsv = label(QStringLiteral("ＣＳＶ出力の文字コード"), 37, 346, 15, this);
    ComboCsvEncoding = new QComboBox(this);
    ComboCsvEncoding->setObjectName(QStringLiteral("ComboCsvEncoding"));
    // Item order follows CsvCharset: automatic, CP932, UTF-8.
    ComboCsvEncoding->addItems(
        {QStringLiteral("自動"), QStringLiteral("Shift_JIS (CP932)"), QStringLiteral("UTF-8 (BOM付き)")});
    ComboCsvEncoding->setToolTip(
        QStringLiteral("自動：WindowsではShift_JIS、それ以外ではUTF-8 (BOM付き)で出力します。"));
    place(ComboCsvEncoding, 212, 342, 160, 22);

    setTabOrder(Edit_PrintName, EditLogonPass);
    setTabOrder(EditLogonPass, Edit_Alias);
    setTabOrder(Edit_Alias, CheckBox2);
    setTabOrder(CheckBox2, CheckBox1);
    setTabOrder(CheckBox1, RichEdit1);
    setTabOrder(RichEdit1, SaNumEdit1);
    setTabOrder(SaNumEdit1, ComboCsvEncoding);

    // A change made in code runs the handler too, as a user's click does.
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(EditLogonPass, &QLineEdit::textChanged, this, [this] { Edit_PassChange(); });
    connect(Edit_Alias, &QLineEdit::textChanged, this, [this] { Edit_PassChange(); });
    RichEdit1->installEventFilter(this);
    Edit_PrintName->setFocus();
}

void TF_Settei::fillFrom(const AppSettings& s)
{
    EditLogonPass->setText(s.U_LogOn);
    Edit_PrintName->setText(s.PRINT_NAME);
    Edit_Alias->setText(s.LAST_ALIAS);
    CheckBox1->setChecked(s.UserSet);
    CheckBox2->setChecked(s.UserSet2);
    // The editor keeps line feeds; the stored list has CR LF between lines.
    QString owners = s.U_SetOwner;
    owners.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    RichEdit1->setPlainText(owners);
    SaNumEdit1->setValue(s.MaxPageRow);
    ComboCsvEncoding->setCurrentIndex(static_cast<int>(output::csvCharsetFromSetting(s.CSV_ENCODING)));
}

void TF_Settei::takeOver(AppSettings& s) const
{
    // The conversion comes first: when it fails, nothing has been taken over.
    const int rows = SaNumEdit1->value();
    s.MaxPageRow = rows;
    s.LAST_ALIAS = Edit_Alias->text();
    s.U_LogOn = EditLogonPass->text();
    s.PRINT_NAME = Edit_PrintName->text();
    s.UserSet = CheckBox1->isChecked();
    s.U_SetOwner = RichEdit1->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    s.UserSet2 = CheckBox2->isChecked();
    s.CSV_ENCODING =
        output::csvCharsetSetting(static_cast<output::CsvCharset>(ComboCsvEncoding->currentIndex()));
}

bool TF_Settei::rowsFieldValid()
{
    try {
        integerFromText(SaNumEdit1->text());
        return true;
    } catch (const std::exception& e) {
        platform::error(QString::fromStdString(e.what()));
        SaNumEdit1->setFocus();
        SaNumEdit1->selectAll();
        return false;
    }
}

void TF_Settei::setRichEditEnabled(bool on)
{
    RichEdit1->setEnabled(on);
    setBase(RichEdit1, on ? QColor(Qt::white) : palette().color(QPalette::Button));
}

void TF_Settei::applyEnabledState()
{
    for (QLineEdit* e : {Edit_PrintName, Edit_Alias}) {
        e->setEnabled(true);
        setBase(e, Qt::white);
    }
    CheckBox1->setEnabled(true);
    CheckBox2->setEnabled(true);
    setRichEditEnabled(CheckBox1->isChecked());
}

void TF_Settei::CheckBox1Click()
{
    if (clearOwnerAndTable)
        clearOwnerAndTable();
    setRichEditEnabled(CheckBox1->isChecked());
}

void TF_Settei::Edit_PassChange()
{
    for (QLineEdit* e : {Edit_PrintName, Edit_Alias}) {
        e->setEnabled(true);
        setBase(e, Qt::white);
    }
    CheckBox1->setEnabled(true);
    CheckBox2->setEnabled(true);
    // An unticked box leaves the owner list as it is.
    if (CheckBox1->isChecked())
        setRichEditEnabled(true);
}

void TF_Settei::RichEdit1Exit()
{
    const QString text = RichEdit1->toPlainText();
    const QString up = asciiUpper(text);
    if (up != text)
        RichEdit1->setPlainText(up);
}

void TF_Settei::FormCloseQuery() { RichEdit1Exit(); }

void TF_Settei::done(int result)
{
    FormCloseQuery();
    // Closing on a rows field without a number would lose every other edit.
    if (!rowsFieldValid())
        return;
    QDialog::done(result);
}

void TF_Settei::closeEvent(QCloseEvent* e)
{
    // A hidden dialog is not rejected by QDialog, so the close query runs here.
    if (!isVisible())
        FormCloseQuery();
    QDialog::closeEvent(e);
}

bool TF_Settei::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RichEdit1 && event->type() == QEvent::FocusOut)
        RichEdit1Exit();
    return QDialog::eventFilter(watched, event);
}

void runSettingsDialog(AppSettings& settings, QWidget* parent,
                       const std::function<void()>& clearOwnerAndTable, const std::function<void()>& formShow)
{
    const platform::NormalCursorOnExit restore;
    TF_Settei dialog(parent);
    dialog.clearOwnerAndTable = clearOwnerAndTable;
    dialog.fillFrom(settings);
    dialog.applyEnabledState();
    if (QScreen* screen = QApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    platform::dialogs().exec(dialog);
    dialog.takeOver(settings);
    if (formShow)
        formShow();
}

} // namespace morvane

// The settings dialog behind Shift+Insert and its numeric rows field.
#include "app/MainWindow.h"
#include "widgets/NumEdit.h"
#include "app/SettingsDialog.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "document/PageRoutines.h"
#include "support/MainWindowParts.h"
#include "support/FakePlatform.h"
#include "support/ScriptedDialogs.h"
#include "support/ScopedDataDir.h"
#include <QCheckBox>
#include <QComboBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

class SettingsDialogTest : public ::testing::Test, protected MainWindowParts {
protected:
    void SetUp() override
    {
        logOn();
        AppSettings& s = session.settings;
        // Lower case as a stored password or an old settings file may hold it.
        s.LAST_ALIAS = "demo";
        s.U_LogOn = "demo";
        s.PRINT_NAME = "yamada 太郎";
        s.MaxPageRow = 55;
        s.U_SetOwner = "SCOTT\r\nHR";
        showWithOwner("SCOTT");
        main.Edit2->setText("EMP");
        for (QPushButton* b : {main.BitBtn1, main.BitBtn3, main.BitBtn4, main.BitBtn9})
            b->setEnabled(true);
    }
    // Runs the flow; the handler sees the dialog as filled, then it is closed.
    void open(const std::function<void(TF_Settei&)>& user = {})
    {
        dialogs.handlers.push_back([user](QDialog& d) {
            auto& dlg = dynamic_cast<TF_Settei&>(d);
            if (user)
                user(dlg);
            dlg.reject(); // the window's close box
            return int(QDialog::Rejected);
        });
        runGuarded([this] { main.Button1Click(); });
    }
};

} // namespace

TEST_F(SettingsDialogTest, OpenAndCloseChangesNothingButTheCase)
{
    bool filled = false;
    open([&](TF_Settei& d) {
        filled = d.windowTitle() == "設定" && d.EditLogonPass->echoMode() == QLineEdit::Password
                 && d.SaNumEdit1->text() == "55" && !d.CheckBox1->isChecked() && !d.RichEdit1->isEnabled()
                 && d.Edit_Alias->isEnabled();
    });
    EXPECT_TRUE(filled);
    EXPECT_EQ(dialogs.titles, QStringList({"設定"}));
    const AppSettings& s = session.settings;
    EXPECT_EQ(s.LAST_ALIAS, "DEMO");
    EXPECT_EQ(s.U_LogOn, "DEMO");
    EXPECT_EQ(s.PRINT_NAME, "YAMADA 太郎");
    EXPECT_EQ(s.MaxPageRow, 55);
    EXPECT_EQ(s.U_SetOwner, "SCOTT\r\nHR");
    EXPECT_FALSE(s.UserSet);
    EXPECT_FALSE(s.UserSet2);
    EXPECT_EQ(s.LAST_OWNER, "SCOTT");
    EXPECT_EQ(main.ComboBox1->currentText(), "SCOTT");
    EXPECT_EQ(main.Edit2->text(), "EMP");
    EXPECT_EQ(main.ownerEntries(), QStringList({"GUEST", "HR", "SALES", "SCOTT"}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SettingsDialogTest, UserDefinedOwnersClearTheMainFieldsAndAreStoredUpperCase)
{
    session.settings.UserSet = true;
    main.Edit1->setText("従業員");
    bool clearedAtOnce = false;
    open([&](TF_Settei& d) {
        clearedAtOnce = main.ComboBox1->currentText().isEmpty() && main.Edit2->text().isEmpty()
                        && main.Edit1->text().isEmpty();
        EXPECT_TRUE(d.RichEdit1->isEnabled());
        EXPECT_EQ(d.RichEdit1->palette().color(QPalette::Base), QColor(Qt::white));
        d.RichEdit1->setPlainText("scott\nhr_2\n経理dept");
        // Leaving the editor upper-cases its ASCII letters only.
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(d.RichEdit1, &out);
        EXPECT_EQ(d.RichEdit1->toPlainText(), "SCOTT\nHR_2\n経理DEPT");
        d.RichEdit1->setPlainText("scott\nhr");
    });
    EXPECT_TRUE(clearedAtOnce);
    EXPECT_EQ(session.settings.LAST_OWNER, "SCOTT"); // the owner text was cleared in code
    for (QPushButton* b : {main.BitBtn1, main.BitBtn3, main.BitBtn4, main.BitBtn9})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_EQ(session.settings.U_SetOwner, "SCOTT\r\nHR");
    EXPECT_EQ(main.ownerEntries(), QStringList({"HR", "SCOTT"}));
}

TEST_F(SettingsDialogTest, UntickingDisablesTheListAndPasswordChangesLeaveIt)
{
    open([&](TF_Settei& d) {
        d.CheckBox1->setChecked(true);
        EXPECT_TRUE(d.RichEdit1->isEnabled());
        d.CheckBox1->setChecked(false);
        EXPECT_FALSE(d.RichEdit1->isEnabled());
        EXPECT_EQ(d.RichEdit1->palette().color(QPalette::Base), d.palette().color(QPalette::Button));
        d.EditLogonPass->setText("new"); // not ticked: the list stays disabled
        EXPECT_FALSE(d.RichEdit1->isEnabled());
        d.CheckBox2->setChecked(true);
        d.Edit_Alias->setText("prod");
        d.SaNumEdit1->setText("0");
    });
    const AppSettings& s = session.settings;
    EXPECT_EQ(s.U_LogOn, "NEW");
    EXPECT_EQ(s.LAST_ALIAS, "PROD");
    EXPECT_TRUE(s.UserSet2);
    EXPECT_FALSE(s.UserSet);
    EXPECT_EQ(s.MaxPageRow, 0); // taken over; pages still use at least one row
    EXPECT_EQ(s.effectiveMaxPageRow(), 55);
}

TEST_F(SettingsDialogTest, ARowsFieldWithoutANumberKeepsTheDialogOpenAndEveryEdit)
{
    for (const QString& bad : {QString(""), QString("-")}) {
        messages.shown.clear();
        main.ComboBox1->clear();
        int closings = 0;
        QString focused; // the dialog and its fields are gone once open() returns
        open([&](TF_Settei& d) {
            QObject::connect(&d, &QDialog::finished, [&] { ++closings; });
            d.SaNumEdit1->setText(bad);
            d.Edit_Alias->setText("OTHER");
            d.CheckBox2->setChecked(true);
            d.ComboCsvEncoding->setCurrentIndex(1);
            d.reject(); // refused: the field holds no number
            if (QWidget* w = d.focusWidget())
                focused = w->objectName();
            EXPECT_EQ(closings, 0);
            d.SaNumEdit1->setText("40");
        });
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(messages.shown[0].text, "'" + bad + "' は整数ではありません");
        EXPECT_EQ(closings, 1);
        EXPECT_EQ(focused, "SaNumEdit1");
        EXPECT_EQ(session.settings.LAST_ALIAS, "OTHER");
        EXPECT_EQ(session.settings.MaxPageRow, 40);
        EXPECT_TRUE(session.settings.UserSet2);
        EXPECT_EQ(session.settings.CSV_ENCODING, "CP932");
        EXPECT_FALSE(main.ownerEntries().isEmpty()); // refilled
    }
    // The stored choice comes back into the dialog.
    open([](TF_Settei& d) { EXPECT_EQ(d.ComboCsvEncoding->currentIndex(), 1); });
}

TEST(NumEdit, AcceptsUpToThreeDigitsAndALeadingMinus)
{
    NumEditValidator v;
    struct Case {
        QString text;
        QValidator::State state;
    } cases[] = {
        {"", QValidator::Intermediate},  {"-", QValidator::Intermediate},  {"0", QValidator::Acceptable},
        {"999", QValidator::Acceptable}, {"-999", QValidator::Acceptable}, {"1000", QValidator::Invalid},
        {"1.5", QValidator::Invalid},    {"+1", QValidator::Invalid},      {"1-", QValidator::Invalid},
        {"--1", QValidator::Invalid},    {"１２", QValidator::Invalid},    {" 1", QValidator::Invalid},
    };
    for (Case c : cases) {
        int pos = 0;
        EXPECT_EQ(v.validate(c.text, pos), c.state) << c.text.toStdString();
    }

    SaNumEdit edit;
    edit.setValue(55);
    edit.selectAll();
    edit.insert("12a"); // a paste with a letter puts nothing in
    EXPECT_EQ(edit.text(), "55");
    edit.selectAll();
    edit.insert("-40");
    EXPECT_EQ(edit.text(), "-40");
    EXPECT_EQ(edit.value(), -40);
    edit.setText("123");
    edit.insert("4"); // a fourth digit is refused
    EXPECT_EQ(edit.text(), "123");
    edit.clear();
    EXPECT_EQ(edit.text(), "");
    EXPECT_THROW(edit.value(), std::runtime_error);
}

TEST_F(SettingsDialogTest, ANewRowsSettingRepagesTheLoadedObject)
{
    session.settings.LAST_OWNER = "SCOTT";
    session.state.TableName = "EMP";
    session.state.TableType = "TABLE";
    session.settings.MaxPageRow = 5;
    ASSERT_TRUE(dm.LoadTableDictionary());
    ASSERT_EQ(session.state.RowCounts[SlotTabCols], 8);
    EXPECT_EQ(session.state.ColumnPageCount, 2);
    open([](TF_Settei& d) { d.SaNumEdit1->setText("3"); });
    EXPECT_EQ(session.state.ColumnPageCount, 3);
    // Preview and print jobs page what they draw from the session as it is now.
    EXPECT_EQ(document::documentPageCount(document::documentDataFrom(session)), 4);
}

// The main window's enabling rules, owner list and owner change, reconnect.
#include "app/MainWindow.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/ui/LoginDialog.h"
#include "database/Statements.h"
#include "database/Connection.h"
#include "database/ui/LogonWindows.h"
#include "support/MainWindowParts.h"
#include "support/ScriptedDialogs.h"
#include "support/ScopedDataDir.h"
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

class MainWindowTest : public ::testing::Test, protected MainWindowParts {
protected:
    // A copy of the demo under a service name of its own, so that a test
    // can take the "server" away.
    void SetUp() override
    {
        copyDemoAs("PROD");
        logOn("PROD");
        dm.logonWindows = &windows;
        dm.clearOwnerField = [this] { main.ComboBox1->setEditText(QString()); };
    }
    QStringList enabledButtons()
    {
        QStringList on;
        for (QPushButton* b : {main.BitBtn2, main.BitBtn3, main.BitBtn4, main.BitBtn1, main.BitBtn6,
                               main.BitBtn9, main.BitBtn8, main.BitConnect})
            if (b->isEnabled())
                on << b->text();
        return on;
    }
    void owners(const QString& user, bool userSet = false, const QString& list = QString())
    {
        session.state.LogonUser = user;
        session.settings.UserSet = userSet;
        session.settings.U_SetOwner = list;
        main.FormShow();
    }
    QtLogonWindows windows;
};

} // namespace

TEST_F(MainWindowTest, InitialStateThenRepaintRule)
{
    EXPECT_EQ(enabledButtons(), QStringList({"問合せ", "全印刷", "Connect"}));
    EXPECT_TRUE(main.Edit1->isEnabled());
    EXPECT_TRUE(main.Edit2->isEnabled());
    main.FormPaint();
    // 全ANALYZE follows the empty table name with UserSet off; Connect follows UserSet2.
    EXPECT_EQ(enabledButtons(), QStringList({"問合せ", "全印刷", "全ANALYZE"}));
    session.settings.UserSet2 = true;
    session.settings.UserSet = true;
    main.FormPaint();
    EXPECT_EQ(enabledButtons(), QStringList({"問合せ", "全印刷", "Connect"}));
    EXPECT_EQ(main.LabelAlias->text(), "PROD");
    EXPECT_EQ(main.windowTitle(), "Morvane Ver.2.2.0");
    EXPECT_EQ(main.BitBtn2->geometry(), QRect(334, 130, 110, 40));
    EXPECT_EQ(main.BitBtn9->geometry(), QRect(205, 11, 90, 40));
    EXPECT_EQ(main.BitBtn5->text(), "閉じる(&C)");
    EXPECT_EQ(main.N1->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
}

TEST_F(MainWindowTest, TableNameRuleIsJudgedOnEdit2Alone)
{
    for (QPushButton* b : {main.BitBtn1, main.BitBtn3, main.BitBtn4, main.BitBtn9})
        b->setEnabled(true);
    main.Edit2->setText("EMP");
    main.Edit1->setText("社員"); // Edit2 filled: nothing changes
    EXPECT_TRUE(main.BitBtn3->isEnabled());
    main.Edit2->clear();
    EXPECT_FALSE(main.BitBtn1->isEnabled());
    EXPECT_FALSE(main.BitBtn3->isEnabled());
    EXPECT_FALSE(main.BitBtn4->isEnabled());
    EXPECT_FALSE(main.BitBtn9->isEnabled());
    EXPECT_TRUE(main.BitBtn6->isEnabled());
}

TEST_F(MainWindowTest, OwnerListByLogonUserAndUserDefinedList)
{
    struct Case {
        QString user;
        bool userSet;
        QString list;
        QStringList entries;
    } cases[] = {
        {"SYS", false, "", {"GUEST", "HR", "SALES", "SCOTT"}},
        {"SYSTEM", false, "", {"GUEST", "HR", "SALES", "SCOTT"}},
        {"SCOTT", false, "", {"SCOTT"}},
        {"", false, "", {""}},
        {"SYS", true, "B\r\n\r\nA", {"", "A", "B"}},
        {"SYS", true, "A\r\nB\r\n", {"A", "B"}},
        {"SCOTT", true, "A\r\nB", {"A", "B", "SCOTT"}},
        {"A", true, "A\r\nB", {"A", "B"}},
    };
    for (const Case& c : cases) {
        owners(c.user, c.userSet, c.list);
        EXPECT_EQ(main.ownerEntries(), c.entries) << c.user.toStdString() << c.list.toStdString();
    }
}

TEST_F(MainWindowTest, OwnerChangeAcceptsOnlyEntries)
{
    owners("SYS");
    main.ComboBox1->setEditText("scott");
    main.ComboBox1Change();
    EXPECT_EQ(main.ComboBox1->currentText(), "SCOTT");
    EXPECT_EQ(session.settings.LAST_OWNER, "SCOTT");
    EXPECT_EQ(enabledButtons(), QStringList({"問合せ", "全印刷", "全ANALYZE", "Connect"}));

    main.ComboBox1->setEditText("SC");
    main.ComboBox1Change();
    EXPECT_EQ(main.ComboBox1->currentText(), "");
    EXPECT_EQ(session.settings.LAST_OWNER, "SC");

    main.ComboBox1->setEditText("");
    main.ComboBox1Change();
    EXPECT_EQ(enabledButtons(), QStringList({"Connect"}));
    EXPECT_FALSE(main.Edit2->isEnabled());

    // Typing completes to the first entry with that prefix; a paste does not.
    main.ownerTextEdited("s");
    EXPECT_EQ(main.ComboBox1->currentText(), "SALES");
    EXPECT_EQ(session.settings.LAST_OWNER, "SALES");
    main.ownerTextEdited("SC");
    EXPECT_EQ(main.ComboBox1->currentText(), "SCOTT");
    main.ComboBox1->setEditText("");
    main.ownerTextEdited("");
    main.ownerTextEdited("HRX");
    EXPECT_EQ(main.ComboBox1->currentText(), "");
    EXPECT_EQ(session.settings.LAST_OWNER, "HRX");

    // With a user-defined list 全ANALYZE stays off.
    owners("SYS", true, "HR");
    main.ComboBox1->setEditText("HR");
    main.ComboBox1Change();
    EXPECT_EQ(enabledButtons(), QStringList({"問合せ", "全印刷", "Connect"}));
}

TEST_F(MainWindowTest, QueryWithoutOwnerWarnsAndForgetsTheOwner)
{
    session.settings.LAST_OWNER = "SCOTT";
    main.ComboBox1->setEditText("");
    main.BitBtn2Click();
    EXPECT_EQ(messages.texts(), QStringList({"ＯＷＮＥＲを選択して下さい。"}));
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(session.settings.LAST_OWNER.isEmpty());
    EXPECT_TRUE(dialogs.opened.isEmpty());

    // The runs over all objects never act on a stored owner the field does not show.
    session.settings.LAST_OWNER = "SCOTT";
    messages.shown.clear();
    main.BitBtn6Click();
    main.BitBtn8Click();
    EXPECT_EQ(messages.texts(),
              QStringList({"ＯＷＮＥＲを選択して下さい。", "ＯＷＮＥＲを選択して下さい。"}));
    EXPECT_TRUE(main.Edit2->text().isEmpty());
}

TEST_F(MainWindowTest, ShiftInsertInTheOwnerFieldIsLeftToTheSettingsShortcut)
{
    EXPECT_EQ(main.N1->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    // What Qt asks the focus widget before it runs a shortcut: taking it means paste.
    for (QWidget* w :
         {static_cast<QWidget*>(main.ComboBox1->lineEdit()), static_cast<QWidget*>(main.ComboBox1)}) {
        QKeyEvent shiftInsert(QEvent::ShortcutOverride, Qt::Key_Insert, Qt::ShiftModifier);
        shiftInsert.ignore();
        QApplication::sendEvent(w, &shiftInsert);
        EXPECT_FALSE(shiftInsert.isAccepted()) << w->metaObject()->className();
        // Other editing keys stay with the field.
        QKeyEvent ctrlV(QEvent::ShortcutOverride, Qt::Key_V, Qt::ControlModifier);
        ctrlV.ignore();
        QApplication::sendEvent(w, &ctrlV);
        EXPECT_TRUE(ctrlV.isAccepted()) << w->metaObject()->className();
    }
}

TEST_F(MainWindowTest, ReconnectWithWrongPasswordFallsBackToThePreviousValues)
{
    session.settings.UserSet2 = true;
    dialogs.handlers.push_back([](QDialog& d) {
        auto& login = dynamic_cast<TF_Alias&>(d);
        EXPECT_EQ(login.EditAlias->text(), "PROD");
        login.EditPass->setText("WRONG");
        return int(QDialog::Accepted);
    });
    main.ComboBox1->setEditText("SCOTT");
    main.BitConnectClick();
    // The fixed text first, then why the new logon failed.
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(
        messages.shown[0].text.startsWith("ユーザー名・パスワードの元に戻し接続します。\n\rORA-01017"))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(session.settings.U_LogOn, "DEMO");
    EXPECT_TRUE(dm.Database1_ADO.isOpen());
    EXPECT_EQ(dm.Database1_ADO.logonParams().password, "DEMO");
    EXPECT_EQ(main.ComboBox1->currentText(), ""); // cleared by the column widths step
    EXPECT_FALSE(session.terminationRequested);
}

TEST_F(MainWindowTest, ReconnectWhereEverythingFailsEndsTheProgram)
{
    dialogs.handlers.push_back([](QDialog&) { return int(QDialog::Accepted); });
    ASSERT_TRUE(QFile::remove(data.path() + "/PROD.db")); // the server went away
    main.BitConnectClick();
    ASSERT_EQ(messages.shown.size(), 2);
    const char* const fixed[] = {"ユーザー名・パスワードの元に戻し接続します。\n\r",
                                 "ＯＲＡＣＬＥデータベースとの接続ができません、終了します。\n\r"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(messages.shown[i].text.startsWith(QString::fromUtf8(fixed[i])));
        // The service has no dictionary any more: the reason is the Oracle client's.
        EXPECT_TRUE(messages.shown[i].text.contains("OCI")) << messages.shown[i].text.toStdString();
    }
    EXPECT_EQ(messages.shown[1].kind, MessageKind::Error);
    EXPECT_TRUE(session.terminationRequested);
}

TEST_F(MainWindowTest, ReconnectCancelEndsAfterClosingTheConnection)
{
    main.BitConnectClick(); // no handler: the dialog is cancelled
    EXPECT_TRUE(session.terminationRequested);
    EXPECT_FALSE(dm.Database1_ADO.isOpen());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(MainWindowTest, ReconnectRefillsTheOwnerList)
{
    session.state.LogonUser = "SCOTT";
    main.FormShow();
    ASSERT_EQ(main.ownerEntries(), QStringList({"SCOTT"}));
    dialogs.handlers.push_back([](QDialog&) { return int(QDialog::Accepted); }); // logs on as SYS
    main.BitConnectClick();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(main.ownerEntries(), QStringList({"GUEST", "HR", "SALES", "SCOTT"}));
}

// Start-up logon by case, the login dialog, and the connection help window.
#include "database/DataModule.h"
#include "database/ui/ErrorShow.h"
#include "database/ui/LoginDialog.h"
#include "database/ui/LogonWindows.h"
#include "database/Connection.h"
#include "database/embedded/DemoDictionary.h"
#include "support/ScriptedDialogs.h"
#include "support/ScopedDataDir.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

// What a login dialog showed when it opened, and what the test typed.
struct LoginSeen {
    QString alias, user, pass;
};

ScriptedDialogs::Handler answerLogin(QVector<LoginSeen>& seen, const QString& alias, const QString& pass,
                                     int result = QDialog::Accepted)
{
    return [&seen, alias, pass, result](QDialog& d) {
        auto& login = dynamic_cast<TF_Alias&>(d);
        seen.push_back({login.EditAlias->text(), login.Edit2->text(), login.EditPass->text()});
        login.EditAlias->setText(alias);
        login.EditPass->setText(pass);
        return result;
    };
}

// Runs against the embedded demo dictionary in a folder of its own.
class LogonTest : public ::testing::Test {
protected:
    void SetUp() override { dm.logonWindows = &windows; }
    QString logonOf() const { return dm.Database1_ADO.logonParams().user; }

    ScopedDataDir data;
    Session session;
    TDataModule2 dm{session};
    QtLogonWindows windows;
    ScriptedDialogs dialogs;
    RecordingMessages messages;
    QVector<LoginSeen> seen;
};

} // namespace

TEST_F(LogonTest, StoredPasswordLogsOnSilentlyAsSys)
{
    session.settings.U_LogOn = "DEMO";
    session.settings.LAST_ALIAS = "DEMO";
    dm.DataModule2Create();
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_TRUE(dm.Database1_ADO.isOpen());
    EXPECT_EQ(session.state.LogonUser, "SYS");
    EXPECT_EQ(logonOf(), "SYS");
    EXPECT_FALSE(session.terminationRequested);
    for (int slot = 0; slot < 9; ++slot)
        EXPECT_EQ(session.state.QueryTable[slot]->tag(), slot);
}

TEST_F(LogonTest, EmptyStoredPasswordAsksWithClearedFields)
{
    session.settings.LAST_ALIAS = "OLD";
    dialogs.handlers.push_back(answerLogin(seen, "DEMO", "DEMO"));
    dm.DataModule2Create();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].alias, "");
    EXPECT_EQ(seen[0].pass, "");
    EXPECT_EQ(seen[0].user, "SYS");
    EXPECT_TRUE(dm.Database1_ADO.isOpen());
    EXPECT_EQ(session.settings.LAST_ALIAS, "DEMO");
}

TEST_F(LogonTest, AskAtStartShowsStoredValuesThenAsksAgainWhenPasswordEmpty)
{
    session.settings.UserSet2 = true;
    session.settings.LAST_ALIAS = "DEMO";
    session.settings.U_LogOn = "OLDPASS";
    dialogs.handlers.push_back(answerLogin(seen, "DEMO", ""));
    dialogs.handlers.push_back(answerLogin(seen, "DEMO", "DEMO"));
    dm.DataModule2Create();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].alias, "DEMO");
    EXPECT_EQ(seen[0].pass, "OLDPASS");
    EXPECT_EQ(seen[1].alias, "");
    EXPECT_EQ(seen[1].pass, "");
    EXPECT_TRUE(dm.Database1_ADO.isOpen());
}

TEST_F(LogonTest, PasswordWithSemicolonsAndSpacesReachesTheDriverWhole)
{
    session.settings.UserSet2 = true;
    const QString password = "a;b c;Data Source=X";
    setEmbeddedAccount(embeddedDatabaseFor("DEMO"), "SYS", password);
    dialogs.handlers.push_back(answerLogin(seen, "DEMO", password));
    dm.DataModule2Create();
    EXPECT_TRUE(dm.Database1_ADO.isOpen());
    EXPECT_FALSE(session.terminationRequested);
    EXPECT_EQ(dm.Database1_ADO.logonParams().password, password);
}

TEST_F(LogonTest, CancelRequestsTerminationWithoutConnecting)
{
    session.settings.U_LogOn = "";
    session.settings.LAST_ALIAS = "KEEP";
    dialogs.handlers.push_back(answerLogin(seen, "X", "Y", QDialog::Rejected));
    dm.DataModule2Create();
    EXPECT_TRUE(session.terminationRequested);
    EXPECT_FALSE(dm.Database1_ADO.isOpen());
    // The cleared values stay cleared: they are what will be written at the end.
    EXPECT_EQ(session.settings.LAST_ALIAS, "");
    EXPECT_EQ(dialogs.opened, QStringList({"morvane::TF_Alias"}));
}

TEST_F(LogonTest, RefusedLogonShowsTheReasonFirstAndKeepsNoTypedPassword)
{
    // The first start: nothing stored, the user types a wrong password.
    QString helpText;
    dialogs.handlers.push_back(answerLogin(seen, "DEMO", "WRONG"));
    dialogs.handlers.push_back([&](QDialog& d) {
        helpText = dynamic_cast<TF_ErrorShow&>(d).Memo1->toPlainText();
        return QDialog::Rejected;
    });
    dm.DataModule2Create();
    EXPECT_TRUE(session.terminationRequested);
    EXPECT_TRUE(messages.shown.isEmpty()); // no message box on this path
    EXPECT_EQ(session.settings.LAST_ALIAS, "DEMO");
    EXPECT_EQ(session.settings.U_LogOn, ""); // so the next start asks again
    const QStringList lines = helpText.split('\n');
    ASSERT_GT(lines.size(), 20);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("原因：ORA-01017"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], QStringLiteral("\u3000ＯＲＡＣＬＥとの接続ができません。次の３点を確認して下さい。"));
    EXPECT_EQ(lines[4], QStringLiteral("  ①　パスワード・接続先は間違っていないか？"));
    EXPECT_EQ(lines.last(), QString(28, QChar(0x3000)) + QStringLiteral("以上\u3000  "));
    // It speaks of the client this program uses, not of components it never loads.
    EXPECT_TRUE(helpText.contains("MORVANE_OCI_LIBRARY"));
    EXPECT_TRUE(helpText.contains("tnsnames.ora"));
    for (const char* stranger : {"MDAC", "ADO", "MSDAORA", "Microsoft"})
        EXPECT_FALSE(helpText.contains(QLatin1String(stranger))) << stranger;

    // Asked at every start with a stored password: a wrong one typed over it leaves the stored one.
    Session next;
    next.settings.UserSet2 = true;
    next.settings.LAST_ALIAS = "DEMO";
    next.settings.U_LogOn = "DEMO";
    TDataModule2 module(next);
    module.logonWindows = &windows;
    dialogs.handlers.push_back(answerLogin(seen, "DEMO", "WRONG"));
    dialogs.handlers.push_back([](QDialog&) { return int(QDialog::Rejected); });
    module.DataModule2Create();
    EXPECT_TRUE(next.terminationRequested);
    EXPECT_EQ(next.settings.U_LogOn, "DEMO");
}

TEST_F(LogonTest, BrokenDictionaryFileOrUnknownServiceEndsInTheHelpWindow)
{
    for (const QByteArray& content : {QByteArray(), QByteArray("not a database at all")}) {
        QFile f(data.path() + "/BROKEN.db");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        for (const char* service : {"BROKEN", "NO_SUCH_SERVICE"}) {
            Session s;
            TDataModule2 module(s);
            QtLogonWindows moduleWindows;
            module.logonWindows = &moduleWindows;
            s.settings.LAST_ALIAS = service;
            s.settings.U_LogOn = "DEMO";
            QString first;
            dialogs.handlers.push_back([&](QDialog& d) {
                first = dynamic_cast<TF_ErrorShow&>(d).Memo1->toPlainText().section('\n', 0, 0);
                return int(QDialog::Rejected);
            });
            module.DataModule2Create();
            EXPECT_TRUE(s.terminationRequested) << service;
            // The file's own fault, or the service that names no file, comes first.
            EXPECT_TRUE(first.startsWith(QStringLiteral("原因："))) << service;
            if (QLatin1String(service) == QLatin1String("BROKEN"))
                EXPECT_TRUE(first.contains("BROKEN.db")) << first.toStdString();
            else
                EXPECT_GT(first.size(), 10) << first.toStdString();
            // No dialog asked this time: the stored password is forgotten.
            EXPECT_TRUE(s.settings.U_LogOn.isEmpty()) << service;
        }
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(LogonTest, FailedSilentLogonLetsTheNextStartAsk)
{
    session.settings.LAST_ALIAS = "NO_SUCH_SERVICE";
    session.settings.U_LogOn = "DEMO";
    dialogs.handlers.push_back([](QDialog&) { return int(QDialog::Rejected); });
    dm.DataModule2Create();
    EXPECT_EQ(dialogs.opened, QStringList({"morvane::TF_ErrorShow"}));
    EXPECT_TRUE(session.settings.U_LogOn.isEmpty());

    // The next start with what was saved asks for the server name and password.
    Session next;
    next.settings = session.settings;
    TDataModule2 module(next);
    module.logonWindows = &windows;
    dialogs.handlers.push_back(answerLogin(seen, "DEMO", "DEMO"));
    module.DataModule2Create();
    EXPECT_EQ(dialogs.opened.last(), "morvane::TF_Alias");
    EXPECT_FALSE(next.terminationRequested);
    EXPECT_TRUE(module.Database1_ADO.isOpen());
}

TEST_F(LogonTest, LoginDialogLayoutAndBehaviour)
{
    TF_Alias dialog;
    dialog.EditAlias->setText("demo");
    EXPECT_EQ(dialog.EditAlias->text(), "DEMO");
    dialog.EditPass->setText("MixedCase");
    EXPECT_EQ(dialog.EditPass->text(), "MixedCase"); // the password keeps its case
    EXPECT_EQ(dialog.EditPass->echoMode(), QLineEdit::Password);
    dialog.Edit2->setText("scott");
    dialog.prepareShow();
    EXPECT_EQ(dialog.Edit2->text(), "SYS");
    EXPECT_EQ(dialog.windowTitle(), "データベースへのログイン");
    EXPECT_EQ(dialog.EditAlias->geometry(), QRect(108, 10, 150, 21));
    EXPECT_EQ(dialog.BitBtn2->geometry(), QRect(201, 112, 90, 40));
    EXPECT_TRUE(dialog.BitBtn1->isDefault());

    // Typing goes to the first field still empty (never to Cancel); all filled, to OK.
    EXPECT_EQ(dialog.focusWidget(), dialog.BitBtn1);
    dialog.EditPass->clear();
    dialog.prepareShow();
    EXPECT_EQ(dialog.focusWidget(), dialog.EditPass);
    dialog.EditAlias->clear();
    dialog.prepareShow();
    EXPECT_EQ(dialog.focusWidget(), dialog.EditAlias);
}

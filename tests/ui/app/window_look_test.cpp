// The faces the windows draw in, the main window's first focus and the
// completion of the owner field as keys are typed.
#include "app/MainWindow.h"
#include "widgets/QtPlatform.h"
#include "app/Splash.h"
#include "core/Winplace.h"
#include "database/DataModule.h"
#include "database/ui/ErrorShow.h"
#include "database/ui/LoginDialog.h"
#include "support/DemoLogon.h"
#include "support/ScopedDataDir.h"
#include "output/ui/SharedPrinter.h"
#include "tablelist/TableListWindow.h"
#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvane;
using namespace morvane::test;

namespace {

QString familyOf(const QWidget* w) { return QFontInfo(w->font()).family(); }

// Widgets of the window whose text resolves to another face than the window's own.
std::string strangers(QWidget& window)
{
    window.ensurePolished();
    QStringList out;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        w->ensurePolished();
        if (familyOf(w) != familyOf(&window))
            out << QStringLiteral("%1 %2: %3")
                       .arg(QLatin1String(w->metaObject()->className()), w->objectName(), familyOf(w));
    }
    return out.join(QLatin1String("; ")).toStdString();
}

// Proportional: a narrow Latin letter takes less room than a wide one.
bool proportional(const QWidget& w)
{
    const QFontMetrics m(w.font());
    return m.horizontalAdvance(QLatin1Char('i')) < m.horizontalAdvance(QLatin1Char('W'));
}

void type(QWidget* field, const QString& keys)
{
    for (QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (c.toUpper().unicode() - 'A'), Qt::NoModifier,
                        QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + (c.toUpper().unicode() - 'A'), Qt::NoModifier,
                          QString(c));
        QApplication::sendEvent(field, &release);
    }
}

class WindowLook : public ::testing::Test {
protected:
    void SetUp() override
    {
        logOnDemo(dm);
        main.setDataModule(&dm);
    }
    QTemporaryDir dir;
    ScopedDataDir data;
    SettingsStore store{dir.path() + "/s.conf"};
    Session session;
    TDataModule2 dm{session};
    TF_Main main{session, store};
};

} // namespace

TEST_F(WindowLook, EveryWindowDrawsInOneProportionalFace)
{
    TF_Alias login; // its user field is restyled each time it is shown
    TF_Table table(dm, session);
    TF_ErrorShow help;
    TSplashForm splash;
    QWidget* windows[] = {&main, &login, &table, &help, &splash};
    for (QWidget* w : windows) {
        SCOPED_TRACE(w->metaObject()->className());
        w->show();
        QApplication::processEvents();
        EXPECT_EQ(familyOf(w).toStdString(), "IPAPGothic");
        EXPECT_TRUE(proportional(*w));
        EXPECT_EQ(strangers(*w), "");
        w->hide();
    }
}

TEST_F(WindowLook, MainWindowLabelsEndBeforeTheirFields)
{
    main.ensurePolished();
    struct Pair {
        QLabel* label;
        QWidget* field;
    } pairs[] = {{main.Label1, main.ComboBox1}, {main.Label2, main.Edit2}, {main.Label4, main.Edit1}};
    for (const Pair& p : pairs) {
        p.label->ensurePolished();
        EXPECT_LE(p.label->x() + p.label->sizeHint().width(), p.field->x()) << p.label->text().toStdString();
    }
}

TEST_F(WindowLook, MainWindowOpensWithTheFocusOnTheOwnerField)
{
    main.show();
    main.activateWindow();
    QApplication::processEvents();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(focus == main.ComboBox1 || focus == main.ComboBox1->lineEdit())
        << focus->metaObject()->className() << " " << focus->objectName().toStdString();
    main.hide();
}

TEST_F(WindowLook, TypingOverSelectedTextCompletesLikeTheFirstTime)
{
    main.FormShow();
    ASSERT_EQ(main.ownerEntries(), QStringList({"GUEST", "HR", "SALES", "SCOTT"}));
    QLineEdit* field = main.ComboBox1->lineEdit();

    type(field, "s");
    EXPECT_EQ(field->text(), "SALES");
    type(field, "c"); // over the completed tail
    EXPECT_EQ(field->text(), "SCOTT");
    EXPECT_EQ(session.settings.LAST_OWNER, "SCOTT");

    field->selectAll();
    type(field, "s");
    EXPECT_EQ(field->text(), "SALES");
    EXPECT_EQ(session.settings.LAST_OWNER, "SALES");

    field->selectAll();
    type(field, "hr");
    EXPECT_EQ(field->text(), "HR");
    EXPECT_EQ(session.settings.LAST_OWNER, "HR");

    // A key that leads to no entry still empties the field, and the next one completes again.
    field->selectAll();
    type(field, "x");
    EXPECT_EQ(field->text(), "");
    type(field, "g");
    EXPECT_EQ(field->text(), "GUEST");
}

TEST_F(WindowLook, WindowsShowAllTheyHoldAtTheirOpeningSize)
{
    // The help window: a long reason first, and still the last line shows without scrolling.
    TF_ErrorShow help;
    help.setServerMessage(QStringLiteral(
        "Oracle クライアント (OCI) が見つかりません: libclntsh.so を読み込めませんでした。探した場所: "
        "MORVANE_OCI_LIBRARY=(未設定); LD_LIBRARY_PATH=(未設定); ORACLE_HOME/lib=(未設定); "
        "システム既定の検索パス。読み込みエラー: (libclntsh.so: cannot open shared object file)"));
    help.show();
    QApplication::processEvents();
    EXPECT_EQ(help.Memo1->verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(help.Memo1->textInteractionFlags() & Qt::TextSelectableByMouse);
    help.hide();

    // The table list: the last column, テーブルタイプ, ends inside the grid.
    TF_Table table(dm, session);
    table.show();
    QApplication::processEvents();
    QHeaderView* header = table.DBGrid1->horizontalHeader();
    const int last = header->count() - 1;
    EXPECT_EQ(header->model()->headerData(last, Qt::Horizontal).toString(), "テーブルタイプ");
    EXPECT_LE(header->sectionViewportPosition(last) + header->sectionSize(last),
              table.DBGrid1->viewport()->width());
    table.hide();

    // A box over a window in the page's face speaks in the window face, and keeps "（1件）" whole.
    QWidget mincho;
    mincho.setFont(QFont("IPAMincho", 16));
    const auto box = platform::makeMessageBox(
        MessageKind::Information, output::pdfFilesWrittenText("/tmp/pdf", 1), MessageButtons::Ok, &mincho);
    box->show();
    QApplication::processEvents();
    EXPECT_EQ(familyOf(box.get()).toStdString(), "IPAPGothic");
    QLabel* text = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(text, nullptr);
    for (const QString& line : text->text().split('\n'))
        EXPECT_LE(QFontMetrics(text->font()).horizontalAdvance(line), text->width()) << line.toStdString();
    box->hide();
}

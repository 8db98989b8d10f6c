#include "app/Platform.h"
#include "database/DbDriver.h"
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QCursor>

namespace morvane {

namespace {

class QtMessageBoxes : public IMessageBoxes {
public:
    MessageResult show(MessageKind kind, const QString& text, MessageButtons buttons) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(platform::captionFor(kind));
        switch (kind) {
        case MessageKind::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageKind::Error:
        case MessageKind::Application: box.setIcon(QMessageBox::Critical); break;
        case MessageKind::Information: box.setIcon(QMessageBox::Information); break;
        case MessageKind::Confirmation: box.setIcon(QMessageBox::Question); break;
        }
        // Paragraphs come joined by LF CR; the box wants plain line feeds.
        QString shown = text;
        shown.replace(QLatin1String("\r"), QString());
        box.setText(shown);
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        QPushButton* yes = nullptr;
        QPushButton* no = nullptr;
        switch (buttons) {
        case MessageButtons::Ok:
            ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            box.setEscapeButton(ok);
            break;
        case MessageButtons::OkCancel:
            ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
            box.setEscapeButton(cancel);
            break;
        case MessageButtons::YesNo:
            yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
            box.setEscapeButton(no);
            break;
        }
        box.exec();
        QAbstractButton* clicked = box.clickedButton();
        if (clicked && clicked == yes)
            return MessageResult::Yes;
        if (clicked && clicked == no)
            return MessageResult::No;
        if (clicked && clicked == cancel)
            return MessageResult::Cancel;
        if (buttons == MessageButtons::YesNo)
            return MessageResult::No;
        if (buttons == MessageButtons::OkCancel && clicked != ok)
            return MessageResult::Cancel;
        return MessageResult::Ok;
    }
};

class QtDialogRunner : public IDialogRunner {
public:
    int exec(QDialog& dialog) override { return dialog.exec(); }
};

QtMessageBoxes g_qtMessages;
QtDialogRunner g_qtDialogs;
IMessageBoxes* g_messages = &g_qtMessages;
IDialogRunner* g_dialogs = &g_qtDialogs;
bool g_busy = false;

} // namespace

namespace platform {

IMessageBoxes& messages() { return *g_messages; }
IDialogRunner& dialogs() { return *g_dialogs; }

IMessageBoxes* setMessages(IMessageBoxes* m)
{
    IMessageBoxes* old = g_messages;
    g_messages = m ? m : &g_qtMessages;
    return old;
}

IDialogRunner* setDialogs(IDialogRunner* d)
{
    IDialogRunner* old = g_dialogs;
    g_dialogs = d ? d : &g_qtDialogs;
    return old;
}

QString captionFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning: return QStringLiteral("警告");
    case MessageKind::Error: return QStringLiteral("エラー");
    case MessageKind::Information: return QStringLiteral("情報");
    case MessageKind::Confirmation: return QStringLiteral("確認");
    case MessageKind::Application: return QStringLiteral("Morvane");
    }
    return QStringLiteral("Morvane");
}

void setBusyCursor()
{
    if (g_busy)
        return;
    g_busy = true;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void setNormalCursor()
{
    if (!g_busy)
        return;
    g_busy = false;
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}

bool isBusyCursor() { return g_busy; }

} // namespace platform

void runGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const DbError& e) {
        platform::setNormalCursor();
        platform::messages().show(MessageKind::Application, e.message());
    } catch (const std::exception& e) {
        platform::setNormalCursor();
        platform::messages().show(MessageKind::Application, QString::fromUtf8(e.what()));
    }
}

} // namespace morvane

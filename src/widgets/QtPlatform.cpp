#include "widgets/QtPlatform.h"
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

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
IDialogRunner* g_dialogs = &g_qtDialogs;

void showCursor(bool busy)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
}

} // namespace

namespace platform {

IDialogRunner& dialogs() { return *g_dialogs; }

IDialogRunner* setDialogs(IDialogRunner* d)
{
    IDialogRunner* old = g_dialogs;
    g_dialogs = d ? d : &g_qtDialogs;
    return old;
}

void installQtPlatform()
{
    setDefaultMessages(&g_qtMessages);
    setCursorDisplay(showCursor);
}

} // namespace platform

} // namespace morvane

#include "widgets/QtPlatform.h"
#include "document/Fonts.h"
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
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
        std::unique_ptr<QMessageBox> box =
            platform::makeMessageBox(kind, text, buttons, QApplication::activeWindow());
        box->exec();
        const QString role = box->clickedButton() ? box->clickedButton()->objectName() : QString();
        if (role == QLatin1String("yes"))
            return MessageResult::Yes;
        if (role == QLatin1String("no"))
            return MessageResult::No;
        if (role == QLatin1String("cancel"))
            return MessageResult::Cancel;
        if (buttons == MessageButtons::YesNo)
            return MessageResult::No;
        if (buttons == MessageButtons::OkCancel && role != QLatin1String("ok"))
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

std::unique_ptr<QMessageBox> makeMessageBox(MessageKind kind, const QString& text, MessageButtons buttons,
                                            QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    // A box over the preview would take the page's Mincho face from it.
    box->setFont(document::uiFont(kMessageBoxPixels));
    box->setWindowTitle(captionFor(kind));
    switch (kind) {
    case MessageKind::Warning: box->setIcon(QMessageBox::Warning); break;
    case MessageKind::Error:
    case MessageKind::Application: box->setIcon(QMessageBox::Critical); break;
    case MessageKind::Information: box->setIcon(QMessageBox::Information); break;
    case MessageKind::Confirmation: box->setIcon(QMessageBox::Question); break;
    }
    // Paragraphs come joined by LF CR; the box wants plain line feeds.
    QString shown = text;
    shown.replace(QLatin1String("\r"), QString());
    box->setTextFormat(Qt::PlainText);
    box->setText(shown);
    auto add = [&box](const QString& caption, QMessageBox::ButtonRole role, const char* name) {
        QPushButton* b = box->addButton(caption, role);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    switch (buttons) {
    case MessageButtons::Ok:
        box->setEscapeButton(add(QStringLiteral("OK"), QMessageBox::AcceptRole, "ok"));
        break;
    case MessageButtons::OkCancel:
        add(QStringLiteral("OK"), QMessageBox::AcceptRole, "ok");
        box->setEscapeButton(add(QStringLiteral("キャンセル"), QMessageBox::RejectRole, "cancel"));
        break;
    case MessageButtons::YesNo:
        add(QStringLiteral("はい(&Y)"), QMessageBox::YesRole, "yes");
        box->setEscapeButton(add(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole, "no"));
        break;
    }
    return box;
}

bool installQtTranslations()
{
    // The program speaks Japanese whatever the desktop's language: so do Qt's own dialogs.
    static QTranslator* translator = nullptr;
    if (translator)
        return true;
    auto* t = new QTranslator(QCoreApplication::instance());
    if (!t->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qWarning("Morvane: Qt's Japanese translations (qtbase_ja.qm) are not installed");
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    translator = t;
    return true;
}

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

#pragma once
// Small seams over what the program shows and asks: message boxes, modal
// dialogs, the mouse cursor. Production versions are the real Qt ones; tests
// install their own to answer dialogs and read what was shown.
#include <QString>
#include <functional>

class QDialog;

namespace morvane {

enum class MessageKind {
    Warning,        // "警告", exclamation icon
    Error,          // "エラー", stop icon
    Information,    // "情報"
    Confirmation,   // "確認", question icon
    Application     // "Morvane", error icon: errors no handler caught
};
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // text paragraphs may be joined by "\n\r"; shown as line breaks.
    virtual MessageResult show(MessageKind kind, const QString& text,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};

class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // Shows the dialog modally; returns its QDialog result code.
    virtual int exec(QDialog& dialog) = 0;
};

namespace platform {
IMessageBoxes& messages();
IDialogRunner& dialogs();
// Installs a replacement (nullptr restores the Qt one); returns the previous.
IMessageBoxes* setMessages(IMessageBoxes* m);
IDialogRunner* setDialogs(IDialogRunner* d);

QString captionFor(MessageKind kind);

// Hourglass and arrow; "normal" always ends the busy state, however often busy was set.
void setBusyCursor();
void setNormalCursor();
bool isBusyCursor();

// Shortcut for the common one-button boxes.
inline void warning(const QString& text) { messages().show(MessageKind::Warning, text); }
inline void error(const QString& text) { messages().show(MessageKind::Error, text); }
} // namespace platform

// Runs a handler; an exception that escapes it ends only this event and is
// shown in the program's general error box ("Morvane", error icon, OK).
void runGuarded(const std::function<void()>& handler);

} // namespace morvane

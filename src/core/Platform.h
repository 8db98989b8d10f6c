#pragma once
// Small seams over what the program shows: message boxes and the mouse
// cursor. The window layer installs the real ones at start-up; tools and
// tests install their own to answer and record what was shown. Without one,
// messages go to standard error, so no lower layer ever needs a window.
#include <QString>
#include <functional>

namespace morvane {

enum class MessageKind {
    Warning,      // "警告", exclamation icon
    Error,        // "エラー", stop icon
    Information,  // "情報"
    Confirmation, // "確認", question icon
    Application   // "Morvane", error icon: errors no handler caught
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

namespace platform {
IMessageBoxes& messages();
// Installs a replacement (nullptr restores the default); returns the previous.
IMessageBoxes* setMessages(IMessageBoxes* m);
// The default that messages() falls back to: the window layer's boxes once installed.
void setDefaultMessages(IMessageBoxes* m);

QString captionFor(MessageKind kind);

// Hourglass and arrow; "normal" always ends the busy state, however often busy was set.
void setBusyCursor();
void setNormalCursor();
bool isBusyCursor();
// Restores the normal cursor on every way out of the scope it lives in.
struct NormalCursorOnExit {
    NormalCursorOnExit() = default;
    NormalCursorOnExit(const NormalCursorOnExit&) = delete;
    NormalCursorOnExit& operator=(const NormalCursorOnExit&) = delete;
    ~NormalCursorOnExit() { setNormalCursor(); }
};
// What shows the cursor on screen (the window layer); called with the new state.
void setCursorDisplay(std::function<void(bool busy)> display);

// Shortcut for the common one-button boxes.
inline void warning(const QString& text) { messages().show(MessageKind::Warning, text); }
inline void error(const QString& text) { messages().show(MessageKind::Error, text); }
} // namespace platform

// Runs a handler; an exception that escapes it ends only this event and is
// shown in the program's general error box ("Morvane", error icon, OK).
void runGuarded(const std::function<void()>& handler);

} // namespace morvane

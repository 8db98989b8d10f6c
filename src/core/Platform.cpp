#include "core/Platform.h"
#include <cstdio>
#include <exception>

namespace morvane {

namespace {

// Until the window layer installs its boxes: a line on standard error and the
// answer that does nothing (No, Cancel).
class StderrMessages : public IMessageBoxes {
public:
    MessageResult show(MessageKind kind, const QString& text, MessageButtons buttons) override
    {
        QString line = text;
        line.replace(QLatin1String("\n\r"), QLatin1String(" "));
        std::fprintf(stderr, "Morvane: %s: %s\n", qPrintable(platform::captionFor(kind)), qPrintable(line));
        return buttons == MessageButtons::YesNo      ? MessageResult::No
               : buttons == MessageButtons::OkCancel ? MessageResult::Cancel
                                                     : MessageResult::Ok;
    }
};

StderrMessages g_stderrMessages;
IMessageBoxes* g_default = &g_stderrMessages;
IMessageBoxes* g_messages = nullptr; // nullptr: the default
bool g_busy = false;
std::function<void(bool)> g_cursorDisplay;

} // namespace

namespace platform {

IMessageBoxes& messages() { return g_messages ? *g_messages : *g_default; }

IMessageBoxes* setMessages(IMessageBoxes* m)
{
    IMessageBoxes* old = g_messages ? g_messages : g_default;
    g_messages = m;
    return old == g_default ? nullptr : old;
}

void setDefaultMessages(IMessageBoxes* m) { g_default = m ? m : &g_stderrMessages; }

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
    if (g_cursorDisplay)
        g_cursorDisplay(true);
}

void setNormalCursor()
{
    if (!g_busy)
        return;
    g_busy = false;
    if (g_cursorDisplay)
        g_cursorDisplay(false);
}

bool isBusyCursor() { return g_busy; }

void setCursorDisplay(std::function<void(bool busy)> display) { g_cursorDisplay = std::move(display); }

} // namespace platform

void runGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        platform::setNormalCursor();
        platform::messages().show(MessageKind::Application, QString::fromUtf8(e.what()));
    }
}

} // namespace morvane

#pragma once
// Test doubles for the platform seams: message boxes that record what was
// shown and answer from a script, and a dialog runner that lets a test fill
// and close each modal dialog.
#include "app/Platform.h"
#include <QDialog>
#include <QStringList>
#include <QVector>
#include <deque>
#include <functional>

namespace morvane::test {

struct Shown {
    MessageKind kind;
    QString text;
    MessageButtons buttons;
};

class RecordingMessages : public IMessageBoxes {
public:
    RecordingMessages() { m_previous = platform::setMessages(this); }
    ~RecordingMessages() override { platform::setMessages(m_previous); }
    MessageResult show(MessageKind kind, const QString& text, MessageButtons buttons) override
    {
        shown.push_back({kind, text, buttons});
        if (!answers.empty()) {
            const MessageResult r = answers.front();
            answers.pop_front();
            return r;
        }
        return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
    }
    QStringList texts() const
    {
        QStringList l;
        for (const auto& s : shown)
            l << s.text;
        return l;
    }
    QVector<Shown> shown;
    std::deque<MessageResult> answers;

private:
    IMessageBoxes* m_previous;
};

// Each exec() takes the next handler; with none left the dialog is rejected.
class ScriptedDialogs : public IDialogRunner {
public:
    using Handler = std::function<int(QDialog&)>;
    ScriptedDialogs() { m_previous = platform::setDialogs(this); }
    ~ScriptedDialogs() override { platform::setDialogs(m_previous); }
    int exec(QDialog& dialog) override
    {
        opened.push_back(dialog.metaObject()->className());
        titles.push_back(dialog.windowTitle());
        if (handlers.empty())
            return QDialog::Rejected;
        Handler h = std::move(handlers.front());
        handlers.pop_front();
        return h(dialog);
    }
    std::deque<Handler> handlers;
    QStringList opened;   // class names, in order
    QStringList titles;

private:
    IDialogRunner* m_previous;
};

} // namespace morvane::test

#pragma once
// Test double for the message-box seam: records what was shown and answers
// from a script.
#include "core/Platform.h"
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

} // namespace morvane::test

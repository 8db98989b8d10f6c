#include "core/FailureSummary.h"

namespace morvane {

namespace {
// A box taller than the screen hides its OK button: list this many, count the rest.
constexpr int kListedObjects = 15;
const QString kParagraph = QStringLiteral("\n\r");
} // namespace

FailureSummary::FailureSummary() : m_previous(platform::setMessages(this)) { }

FailureSummary::~FailureSummary()
{
    platform::setMessages(m_previous);
    const QString text = summaryText();
    if (text.isEmpty())
        return;
    try {
        platform::setNormalCursor();
        platform::messages().show(MessageKind::Warning, text);
    } catch (...) {
        // Never let a box end the program while a failed run unwinds.
    }
}

void FailureSummary::beginObject(const QString& label)
{
    ++m_objects;
    m_current = label;
    m_currentFailed = false;
}

MessageResult FailureSummary::show(MessageKind kind, const QString& text, MessageButtons buttons)
{
    // Only a failure that needs no answer can wait for the end of the run.
    if (kind == MessageKind::Information || kind == MessageKind::Confirmation
        || buttons != MessageButtons::Ok) {
        IMessageBoxes* previous = platform::setMessages(m_previous);
        const MessageResult r = platform::messages().show(kind, text, buttons);
        platform::setMessages(previous);
        return r;
    }
    if (!m_currentFailed) {
        m_failures.push_back({m_current, {}});
        m_currentFailed = true;
    }
    QString reason = text;
    reason.replace(kParagraph, QStringLiteral(" "));
    reason.replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_failures.last().reasons << reason.trimmed();
    return MessageResult::Ok;
}

QString FailureSummary::summaryText() const
{
    if (m_failures.isEmpty())
        return QString();
    QStringList lines;
    lines << QStringLiteral("%1件中%2件のオブジェクトを処理できませんでした。")
                 .arg(m_objects)
                 .arg(m_failures.size());
    const int listed = std::min<int>(kListedObjects, int(m_failures.size()));
    for (int i = 0; i < listed; ++i) {
        const Failure& f = m_failures.at(i);
        lines << QStringLiteral("・%1：%2").arg(f.object, f.reasons.join(QStringLiteral(" ／ ")));
    }
    if (m_failures.size() > listed)
        lines << QStringLiteral("ほか%1件").arg(m_failures.size() - listed);
    return lines.join(kParagraph);
}

} // namespace morvane

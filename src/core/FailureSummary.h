#pragma once
// A run over many objects (print-all, multi-print, the all-tables ANALYZE)
// must not stop on a modal box for every failed object. While one of these
// lives, warnings and errors are kept against the object in work instead of
// shown; when it ends, one box lists every failed object with its reasons.
// Information and questions still reach the user at once.
#include "core/Platform.h"
#include <QStringList>
#include <QVector>

namespace morvane {

class FailureSummary : public IMessageBoxes {
public:
    FailureSummary();           // takes over the message seam
    ~FailureSummary() override; // gives it back, then shows the summary if anything failed
    FailureSummary(const FailureSummary&) = delete;
    FailureSummary& operator=(const FailureSummary&) = delete;

    // The object that the following messages belong to, as the user knows it ("SCOTT.EMP").
    void beginObject(const QString& label);

    MessageResult show(MessageKind kind, const QString& text, MessageButtons buttons) override;

    struct Failure {
        QString object;
        QStringList reasons; // in the order they were reported
    };
    const QVector<Failure>& failures() const { return m_failures; }
    int objects() const { return m_objects; }

    // The text of the closing box; empty when nothing failed.
    QString summaryText() const;

private:
    IMessageBoxes* m_previous;
    QVector<Failure> m_failures;
    QString m_current;
    int m_objects = 0;
    bool m_currentFailed = false;
};

} // namespace morvane

#pragma once
// Tasks run on worker threads while the caller goes on producing them; what
// each reports comes out in the order the tasks were given, so a run reads
// the same with any number of threads.
#include <QIODevice>
#include <QString>
#include <QTextStream>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace morvane::output {

class OrderedJobs {
public:
    // A task writes its report to the stream and returns false when it failed.
    using Task = std::function<bool(QTextStream& report)>;

    // sink receives every report, in order, one call at a time.
    OrderedJobs(int threads, std::function<void(const QString&)> sink);
    ~OrderedJobs();

    // Queues a task whose report follows the text before; an empty task only
    // reports that text. Waits while a few tasks a thread are still unreported.
    void add(QString before, Task task);
    // Waits for every task; the number that failed.
    int finish();

private:
    struct Job {
        QString before;
        Task task;
    };
    void work();
    void done(long index, QString report, bool ok);

    std::function<void(const QString&)> m_emit;
    std::mutex m_mutex;
    std::condition_variable m_wake; // workers: a job or the end
    std::condition_variable m_room; // producer: fewer unreported
    std::deque<std::pair<long, Job>> m_queue;
    std::map<long, QString> m_finished; // reports waiting for an earlier one
    long m_added = 0;
    long m_emitted = 0;
    long m_limit;
    int m_failed = 0;
    bool m_closing = false;
    std::mutex m_emitting;
    std::vector<std::thread> m_threads;
};

} // namespace morvane::output

#include "output/OrderedJobs.h"
#include "document/QPainterCanvas.h"

namespace morvane::output {

OrderedJobs::OrderedJobs(int threads, std::function<void(const QString&)> sink)
    : m_emit(std::move(sink)), m_limit(2L * std::max(threads, 1))
{
    for (int i = 0; i < std::max(threads, 1); ++i)
        m_threads.emplace_back([this] { work(); });
}

OrderedJobs::~OrderedJobs() { finish(); }

void OrderedJobs::add(QString before, Task task)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    // Each unreported task holds its object's data: a bound keeps memory flat.
    m_room.wait(lock, [&] { return m_added - m_emitted < m_limit; });
    m_queue.emplace_back(m_added++, Job{std::move(before), std::move(task)});
    m_wake.notify_one();
}

int OrderedJobs::finish()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
    m_threads.clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failed;
}

void OrderedJobs::work()
{
    // Each thread keeps what it shaped for the tasks after; it goes before the thread's fonts.
    const document::ShapingScope shaping;
    for (;;) {
        std::pair<long, Job> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_closing || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        QString report = std::move(job.second.before);
        bool ok = true;
        if (job.second.task) {
            QTextStream stream(&report, QIODevice::Append);
            ok = job.second.task(stream);
            stream.flush();
        }
        done(job.first, std::move(report), ok);
    }
}

void OrderedJobs::done(long index, QString report, bool ok)
{
    // One thread at a time hands reports on, so they leave in order.
    std::lock_guard<std::mutex> emitting(m_emitting);
    std::vector<QString> ready;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!ok)
            ++m_failed;
        m_finished.emplace(index, std::move(report));
        for (auto it = m_finished.find(m_emitted); it != m_finished.end(); it = m_finished.find(m_emitted)) {
            ready.push_back(std::move(it->second));
            m_finished.erase(it);
            ++m_emitted;
        }
    }
    for (const QString& text : ready)
        if (!text.isEmpty())
            m_emit(text);
    m_room.notify_all();
}

} // namespace morvane::output

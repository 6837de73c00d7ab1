#include "picture/RowPipe.h"

#include "picture/VectorRegisters.h"

RowPipe::RowPipe(qsizetype rowBytes,
                 int rowsPerBatch,
                 std::function<void(const uchar *, int)> work,
                 bool onSecondThread)
    : m_rowBytes(rowBytes)
    , m_rowsPerBatch(rowsPerBatch)
    , m_work(std::move(work))
{
    for (auto &buffer : m_buffers) {
        buffer.resize(std::size_t(rowBytes) * rowsPerBatch);
        if (!onSecondThread)
            break;
    }
    if (onSecondThread)
        m_thread = std::thread([this] { run(); });
}

RowPipe::~RowPipe()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

uchar *RowPipe::batchToFill()
{
    if (!m_thread.joinable())
        return m_buffers[0].data();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_submitted - m_done < kBatches; });
    return m_buffers[m_submitted % kBatches].data();
}

void RowPipe::submit(int count)
{
    if (!m_thread.joinable()) {
        m_failed = m_failed || !workOn(m_buffers[0].data(), count);
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_rows[m_submitted % kBatches] = count;
        ++m_submitted;
    }
    m_changed.notify_all();
}

bool RowPipe::finish()
{
    if (!m_thread.joinable())
        return !m_failed;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_done == m_submitted; });
    return !m_failed;
}

void RowPipe::run()
{
    for (;;) {
        int batch = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_done < m_submitted || m_closing; });
            if (m_done == m_submitted)
                return;
            batch = m_done % kBatches;
        }
        const bool worked = workOn(m_buffers[batch].data(), m_rows[batch]);
        {
            const std::lock_guard lock(m_mutex);
            ++m_done;
            m_failed = m_failed || !worked;
        }
        m_changed.notify_all();
    }
}

bool RowPipe::workOn(const uchar *rows, int count)
{
    clearUpperVectorRegisters();
    try {
        m_work(rows, count);
        return true;
    } catch (...) { // an exception must not end the program from the second thread
        return false;
    }
}

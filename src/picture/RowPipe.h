#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Hands batches of rows from a decoder to a second thread that works on them in order (scaling,
// unfiltering) while the decoder goes on with the next batch, so a picture's load uses both
// cores. A few batch buffers circulate; the decoder waits when all of them are full. Making the
// thread may throw std::system_error; work that throws counts as failed.
//
// A small picture costs less to do on one core than a thread costs to start: for fewer than
// kPixelsWorthASecondCore pixels the work runs in submit(), on the decoder's own thread.
class RowPipe
{
public:
    static constexpr qint64 kPixelsWorthASecondCore = qint64(1) << 16;
    [[nodiscard]] static bool worthASecondCore(qint64 pixels)
    {
        return pixels >= kPixelsWorthASecondCore;
    }

    // work(rows, count) runs once per batch, in the order of submit(); on the second thread
    // when onSecondThread.
    RowPipe(qsizetype rowBytes,
            int rowsPerBatch,
            std::function<void(const uchar *, int)> work,
            bool onSecondThread = true);
    ~RowPipe();
    RowPipe(const RowPipe &) = delete;
    RowPipe &operator=(const RowPipe &) = delete;

    [[nodiscard]] int rowsPerBatch() const { return m_rowsPerBatch; }
    [[nodiscard]] qsizetype rowBytes() const { return m_rowBytes; }
    // The buffer for the next batch: rowsPerBatch() rows of rowBytes() each.
    [[nodiscard]] uchar *batchToFill();
    // The batch from batchToFill() holds count rows.
    void submit(int count);
    // Waits until every submitted batch has been worked on; false when work on one failed.
    [[nodiscard]] bool finish();

private:
    void run();
    bool workOn(const uchar *rows, int count);

    static constexpr int kBatches = 3;
    qsizetype m_rowBytes;
    int m_rowsPerBatch;
    std::function<void(const uchar *, int)> m_work;
    std::vector<uchar> m_buffers[kBatches];
    int m_rows[kBatches] = {};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_submitted = 0; // batches handed over so far
    int m_done = 0;      // batches worked on so far
    bool m_closing = false;
    bool m_failed = false;
    std::thread m_thread;
};

#pragma once

#include <QtGlobal>

#include <atomic>

// All that one picture's decode may allocate: every buffer is asked for before it is made, on
// whichever core makes it, so that a picture needing more counts as one that cannot be read.
class MemoryBudget
{
public:
    explicit MemoryBudget(qint64 limitBytes)
        : m_left(limitBytes)
    {}

    // False, and nothing taken, when the bytes are not left; a negative count never is.
    [[nodiscard]] bool take(qint64 bytes)
    {
        if (bytes < 0)
            return false;
        qint64 left = m_left.load();
        while (left >= bytes) {
            if (m_left.compare_exchange_weak(left, left - bytes))
                return true;
        }
        return false;
    }
    [[nodiscard]] qint64 left() const { return m_left.load(); }

private:
    std::atomic<qint64> m_left;
};

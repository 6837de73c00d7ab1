#pragma once

#include <QByteArrayView>

#include <functional>

// The bytes of a picture file as a decoder reads them, front to back, and a way to say that the
// decoder is done with the bytes before a point, so that a mapped file gives their memory back.
class EncodedPicture
{
public:
    using ReleaseBefore = std::function<void(qsizetype offset)>;

    explicit EncodedPicture(QByteArrayView bytes, ReleaseBefore releaseBefore = {})
        : m_bytes(bytes)
        , m_releaseBefore(std::move(releaseBefore))
    {}

    [[nodiscard]] QByteArrayView bytes() const { return m_bytes; }
    [[nodiscard]] const uchar *data() const
    {
        return reinterpret_cast<const uchar *>(m_bytes.data());
    }
    [[nodiscard]] qsizetype size() const { return m_bytes.size(); }
    // The bytes before offset will not be read again.
    void doneBefore(qsizetype offset) const
    {
        if (m_releaseBefore)
            m_releaseBefore(offset);
    }

private:
    QByteArrayView m_bytes;
    ReleaseBefore m_releaseBefore;
};

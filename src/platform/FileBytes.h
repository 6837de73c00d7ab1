#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

// A file's bytes, read once: opened without waiting (a pipe or a device is refused, not read),
// checked to be a regular file of at most maxBytes on the file it opened, and mapped into memory,
// so that a decoder reads only the pages it needs and the system can drop them behind it. Should
// the file shrink, or its disc fail, while it is read, the part gone reads as zeros and damaged()
// says so, where a plain mapping would end the program.
class FileBytes
{
public:
    // Nothing when the file cannot be opened, is no regular file or is larger than maxBytes.
    [[nodiscard]] static std::optional<FileBytes> open(const QString &nativePath, qint64 maxBytes);

    FileBytes(FileBytes &&) noexcept;
    FileBytes &operator=(FileBytes &&) noexcept;
    ~FileBytes();

    [[nodiscard]] QByteArrayView bytes() const;
    // Part of the file could not be read after it was opened: what was read is not the file.
    [[nodiscard]] bool damaged() const;
    // The bytes before offset will not be read again soon: their memory may go back to the
    // system, which reads them from the file again should they be.
    void releaseBefore(qsizetype offset) const;

    struct Mapping; // defined in the source file

private:
    explicit FileBytes(std::unique_ptr<Mapping> mapping);

    std::unique_ptr<Mapping> m_mapping;
};

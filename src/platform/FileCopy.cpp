#include "platform/FileCopy.h"

#include <QFile>

#include <cerrno>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 kChunkBytes = 8 * 1024 * 1024;

CopyResult failed(const QString &error)
{
    return {CopyResult::Kind::Failed, error};
}

} // namespace

#ifdef Q_OS_UNIX

namespace {

// An open file descriptor, closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    [[nodiscard]] int get() const { return m_fd; }
    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }
    // Closes now, so that an error the close reports (a full disk on some file systems) counts.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Writes the whole buffer; false with errno set when the disk refuses.
bool writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Copies one chunk through a buffer: the bytes copied, 0 at the end, -1 with errno on failure.
ssize_t copyChunkThroughBuffer(int in, int out, std::vector<char> &buffer)
{
    if (buffer.empty())
        buffer.resize(1024 * 1024);
    ssize_t read = 0;
    do {
        read = ::read(in, buffer.data(), buffer.size());
    } while (read < 0 && errno == EINTR);
    if (read > 0 && !writeAll(out, buffer.data(), read))
        return -1;
    return read;
}

// Errors after which the kernel copy is not possible here, but a plain copy still is.
bool kernelCopyUnsupported(int error)
{
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP
           || error == EPERM || error == EBADF;
}

CopyResult copyOpenFiles(int in, int out, const ChunkCopied &chunkCopied)
{
    bool throughKernel = true;
    bool copiedAny = false;
    std::vector<char> buffer;
    for (;;) {
        ssize_t copied = 0;
        if (throughKernel) {
            copied = ::copy_file_range(in, nullptr, out, nullptr, kChunkBytes, 0);
            // Some file systems report an end at once for files they make up on reading; the
            // plain copy finds out whether there really is nothing.
            const bool unsupported = copied < 0 && kernelCopyUnsupported(errno);
            if (unsupported || (copied == 0 && !copiedAny)) {
                throughKernel = false;
                continue;
            }
        } else {
            copied = copyChunkThroughBuffer(in, out, buffer);
        }
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied < 0)
            return failed(qt_error_string(errno));
        if (copied == 0)
            return {};
        copiedAny = true;
        if (chunkCopied && !chunkCopied(copied))
            return {CopyResult::Kind::Stopped, {}};
    }
}

} // namespace

CopyResult copyFileInChunks(const QString &source,
                            const QString &target,
                            const ChunkCopied &chunkCopied)
{
    const Descriptor in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
    if (!in.isOpen())
        return failed(qt_error_string(errno));
    const QByteArray targetName = QFile::encodeName(target);
    Descriptor out(::open(targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!out.isOpen())
        return failed(qt_error_string(errno));
    CopyResult result = copyOpenFiles(in.get(), out.get(), chunkCopied);
    if (!out.close() && result.kind == CopyResult::Kind::Copied)
        result = failed(qt_error_string(errno));
    if (result.kind != CopyResult::Kind::Copied)
        ::unlink(targetName.constData());
    return result;
}

#else

CopyResult copyFileInChunks(const QString &source,
                            const QString &target,
                            const ChunkCopied &chunkCopied)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failed(in.errorString());
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return failed(out.errorString());
    CopyResult result;
    std::vector<char> buffer(kChunkBytes);
    for (;;) {
        const qint64 read = in.read(buffer.data(), kChunkBytes);
        if (read < 0) {
            result = failed(in.errorString());
            break;
        }
        if (read == 0)
            break;
        if (out.write(buffer.data(), read) != read) {
            result = failed(out.errorString());
            break;
        }
        if (chunkCopied && !chunkCopied(read)) {
            result = {CopyResult::Kind::Stopped, {}};
            break;
        }
    }
    if (result.kind == CopyResult::Kind::Copied && !out.flush())
        result = failed(out.errorString());
    out.close();
    if (result.kind != CopyResult::Kind::Copied)
        out.remove();
    return result;
}

#endif

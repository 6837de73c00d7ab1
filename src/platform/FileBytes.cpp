#include "platform/FileBytes.h"

#include <QFile>

#ifndef Q_OS_WIN
#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

// Windows keeps a mapped file from shrinking, but has no signal to guard a mapping with: the
// bytes are read whole.
struct FileBytes::Mapping
{
    QByteArray bytes;
};

std::optional<FileBytes> FileBytes::open(const QString &nativePath, qint64 maxBytes)
{
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential() || file.size() > maxBytes)
        return std::nullopt;
    auto mapping = std::make_unique<Mapping>();
    mapping->bytes = file.readAll();
    return FileBytes(std::move(mapping));
}

QByteArrayView FileBytes::bytes() const
{
    return m_mapping->bytes;
}

bool FileBytes::damaged() const
{
    return false;
}

void FileBytes::releaseBefore(qsizetype) const {}

FileBytes::~FileBytes() = default;

#else

namespace {

// The mappings being read, for the signal handler, which may take no lock: each slot is free
// (begin 0), being set up or given back (begin kSettingUp, which no address reaches), or names one
// mapping, and says whether a page of it failed.
struct GuardedRange
{
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> damaged{false};
};
constexpr int kGuardedRanges = 64;
constexpr std::uintptr_t kSettingUp = ~std::uintptr_t(0);
std::array<GuardedRange, kGuardedRanges> guardedRanges;
struct sigaction previousBusHandler;

// A page of a mapped file that cannot be read raises SIGBUS. When it belongs to a guarded
// mapping it is replaced by a page of zeros, the mapping is marked damaged, and the read goes on.
void onBusError(int signal, siginfo_t *info, void *context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (GuardedRange &range : guardedRanges) {
        if (address < range.begin.load() || address >= range.end.load())
            continue;
        const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
        void *start = reinterpret_cast<void *>(address & ~(page - 1));
        if (mmap(start, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0)
            != MAP_FAILED) {
            range.damaged.store(true);
            return;
        }
    }
    // Not ours: as if this handler were not there.
    if (previousBusHandler.sa_flags & SA_SIGINFO) {
        if (previousBusHandler.sa_sigaction) {
            previousBusHandler.sa_sigaction(signal, info, context);
            return;
        }
    } else if (previousBusHandler.sa_handler != SIG_DFL
               && previousBusHandler.sa_handler != SIG_IGN) {
        previousBusHandler.sa_handler(signal);
        return;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void guardMappedFiles()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action
        {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previousBusHandler);
    });
}

GuardedRange *guard(const void *data, std::size_t size)
{
    for (GuardedRange &range : guardedRanges) {
        std::uintptr_t free = 0;
        if (range.begin.compare_exchange_strong(free, kSettingUp)) {
            range.damaged.store(false);
            range.end.store(reinterpret_cast<std::uintptr_t>(data) + size);
            range.begin.store(reinterpret_cast<std::uintptr_t>(data));
            return &range;
        }
    }
    return nullptr;
}

} // namespace

struct FileBytes::Mapping
{
    const char *data = nullptr;
    std::size_t size = 0;
    GuardedRange *range = nullptr; // none for an empty file, which maps nothing
    std::size_t released = 0;      // the bytes before this went back to the system

    ~Mapping()
    {
        if (range) {
            range->begin.store(kSettingUp);
            range->end.store(0);
            range->begin.store(0);
        }
        if (data && size > 0)
            munmap(const_cast<char *>(data), size);
    }
};

std::optional<FileBytes> FileBytes::open(const QString &nativePath, qint64 maxBytes)
{
    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    const int descriptor = ::open(QFile::encodeName(nativePath).constData(),
                                  O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status
    {};
    auto mapping = std::make_unique<Mapping>();
    bool good = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)
                && status.st_size <= maxBytes;
    if (good && status.st_size > 0) {
        mapping->size = std::size_t(status.st_size);
        guardMappedFiles();
        void *data = mmap(nullptr, mapping->size, PROT_READ, MAP_PRIVATE, descriptor, 0);
        good = data != MAP_FAILED;
        if (good) {
            mapping->data = static_cast<const char *>(data);
            mapping->range = guard(data, mapping->size);
            // Every slot taken would leave the mapping unguarded: refused instead.
            good = mapping->range != nullptr;
            madvise(data, mapping->size, MADV_SEQUENTIAL);
        } else {
            mapping->size = 0;
        }
    }
    ::close(descriptor);
    if (!good)
        return std::nullopt;
    return FileBytes(std::move(mapping));
}

QByteArrayView FileBytes::bytes() const
{
    return {m_mapping->data, qsizetype(m_mapping->size)};
}

bool FileBytes::damaged() const
{
    return m_mapping->range && m_mapping->range->damaged.load();
}

// Pages of a private mapping that were only read are dropped, and read again from the file should
// they be needed after all. Decoders say where they are after every few kilobytes; each drop
// costs a system call and a flush of both cores' page caches, so pages go back a megabyte at a
// time, and each page once.
void FileBytes::releaseBefore(qsizetype offset) const
{
    constexpr std::size_t kReleaseStep = std::size_t(1) << 20;
    Mapping &mapping = *m_mapping;
    const auto page = std::size_t(sysconf(_SC_PAGESIZE));
    const std::size_t reached = std::min(std::size_t(std::max<qsizetype>(offset, 0)), mapping.size);
    const std::size_t whole = reached == mapping.size ? reached : reached / page * page;
    if (whole <= mapping.released
        || (whole - mapping.released < kReleaseStep && whole < mapping.size))
        return;
    // The end of the file may lie within its last page; that page goes too.
    const std::size_t length = (whole - mapping.released + page - 1) / page * page;
    madvise(const_cast<char *>(mapping.data) + mapping.released, length, MADV_DONTNEED);
    mapping.released = whole;
}

FileBytes::~FileBytes() = default;

#endif

FileBytes::FileBytes(std::unique_ptr<Mapping> mapping)
    : m_mapping(std::move(mapping))
{}

FileBytes::FileBytes(FileBytes &&) noexcept = default;
FileBytes &FileBytes::operator=(FileBytes &&) noexcept = default;

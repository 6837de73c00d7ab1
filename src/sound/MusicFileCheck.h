#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThreadPool;

// Finds out, away from the caller's thread, whether a file holds sound that the show's player can
// play: the file is opened as the player opens it and decoded up to its first sound. Files that
// cannot be opened, recognised or decoded, empty ones and videos without a sound track fail.
class MusicFileCheck final : public QObject
{
    Q_OBJECT

public:
    explicit MusicFileCheck(QObject *parent = nullptr);
    // Abandons the checks under way; their answers never come.
    ~MusicFileCheck() override;

    // Answered later by checked, one file at a time in the order asked, never from inside the call.
    void check(const QString &pathText);

signals:
    void checked(const QString &pathText, bool playable);

private:
    std::shared_ptr<std::atomic_bool> m_cancelled;
    std::unique_ptr<QThreadPool> m_pool;
};

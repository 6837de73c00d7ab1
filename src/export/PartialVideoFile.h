#pragma once

#include <QString>

// The files an export writes before the video is complete, hidden beside the target so that the
// finished file only has to be renamed: the video itself and the muxer's scratch file for the
// media data that goes behind the index. Both are removed unless the video is kept.
class PartialVideoFile
{
public:
    explicit PartialVideoFile(QString targetPath);
    ~PartialVideoFile();
    PartialVideoFile(const PartialVideoFile &) = delete;
    PartialVideoFile &operator=(const PartialVideoFile &) = delete;

    // Creates the partial file; false with error() set when the target's folder cannot take it.
    bool create();
    // Puts the complete video in the target's place, replacing an older file of that name.
    bool keep();

    [[nodiscard]] QString path() const { return m_partialPath; }
    [[nodiscard]] QString scratchPath() const { return m_scratchPath; }
    [[nodiscard]] QString error() const { return m_error; }

private:
    void removeLeftovers();

    QString m_targetPath;
    QString m_partialPath;
    QString m_scratchPath;
    QString m_error;
    bool m_kept = false;
};

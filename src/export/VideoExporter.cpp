#include "export/VideoExporter.h"

#include "export/ExportTimeline.h"
#include "export/Mp4Writer.h"
#include "export/MusicDecoder.h"
#include "export/PartialVideoFile.h"
#include "export/ShowFrames.h"
#include "player/PictureGeometry.h"
#include "project/ShowListing.h"

#include <QFileInfo>

#include <future>
#include <optional>

namespace {

ExportOutcome failure(const QString &message)
{
    return {ExportOutcome::Kind::Failed, message};
}

QString problemText(const ShowProblem &problem)
{
    if (problem.kind == ShowProblem::Kind::NoPictures)
        return QStringLiteral("the project has no pictures");
    return showProblemText(problem);
}

// Lowers the music linearly to silence over the samples from fadeStart to end.
void fadeOut(QByteArray &samples, qint64 firstFrame, qint64 fadeStart, qint64 end)
{
    auto *data = reinterpret_cast<qint16 *>(samples.data());
    const qint64 frames = samples.size() / kMusicBytesPerFrame;
    for (qint64 i = std::max<qint64>(0, fadeStart - firstFrame); i < frames; ++i) {
        const double gain = static_cast<double>(end - (firstFrame + i))
                            / static_cast<double>(end - fadeStart);
        for (int channel = 0; channel < kMusicChannels; ++channel) {
            qint16 &sample = data[i * kMusicChannels + channel];
            sample = static_cast<qint16>(std::lround(sample * std::max(gain, 0.0)));
        }
    }
}

// One export from start to end; each step may end it.
class Export
{
public:
    Export(const ShowListing &show,
           const ExportSettings &settings,
           PictureLoader &pictures,
           const ExportCallbacks &callbacks)
        : m_show(show)
        , m_settings(settings)
        , m_pictures(pictures)
        , m_callbacks(callbacks)
        , m_frames(settings.size, settings.framesPerSecond)
        , m_writer([this] { return cancelled(); })
    {}

    ExportOutcome run(const ExportTimeline &timeline, PartialVideoFile &file)
    {
        const bool withMusic = m_show.musicOn && !m_show.music.isEmpty();
        GstCaps *caps = m_frames.caps();
        const bool started = m_writer.start(file.path(),
                                            file.scratchPath(),
                                            caps,
                                            m_settings.framesPerSecond,
                                            withMusic);
        gst_caps_unref(caps);
        if (!started)
            return stopped();
        if (withMusic) {
            QStringList paths;
            for (const ListedMusic &music : m_show.music)
                paths << music.path;
            m_music.emplace(paths);
        }
        m_totalFrames = frameAt(timeline.durationMs, m_settings.framesPerSecond);
        m_totalSamples = timeline.durationMs * kMusicRate / 1000;

        // Made before the first picture is read: frames are converted one at a time.
        const GstBufferPtr black = m_frames.blackFrame();
        std::future<GstBufferPtr> next = prepare(timeline.pictures.constFirst());
        if (!black || !push(black.get(), frameAt(kLeadInMs, m_settings.framesPerSecond)))
            return stopped();
        for (qsizetype i = 0; i < timeline.pictures.size(); ++i) {
            const TimelinePicture &shown = timeline.pictures.at(i);
            const GstBufferPtr frame = next.get();
            if (i + 1 < timeline.pictures.size())
                next = prepare(timeline.pictures.at(i + 1));
            if (!frame && cancelled())
                return stopped();
            if (!frame) {
                const ListedPicture &picture = m_show.pictures.at(shown.index);
                return failure(showProblemText(
                    {ShowProblem::Kind::UndecodablePicture, picture.line, picture.path, {}}));
            }
            const qint64 end = frameAt(shown.startMs + shown.durationMs, m_settings.framesPerSecond);
            if (!push(frame.get(), end))
                return stopped();
        }
        if (!m_writer.finish())
            return stopped();
        if (!file.keep())
            return failure(file.error());
        return {ExportOutcome::Kind::Exported, {}};
    }

private:
    // Decodes, places and converts a picture on another thread; nothing when it cannot be read.
    std::future<GstBufferPtr> prepare(const TimelinePicture &shown)
    {
        const ListedPicture &picture = m_show.pictures.at(shown.index);
        const PictureFit fit = m_show.stretched ? PictureFit::Stretch : PictureFit::NaturalSize;
        return std::async(std::launch::async, [this, path = picture.path, fit]() -> GstBufferPtr {
            if (cancelled())
                return nullptr;
            const std::optional<LoadedPicture>
                loaded = m_pictures.load(path, pictureRequestFor(m_settings.size, fit));
            if (!loaded)
                return nullptr;
            return m_frames.frameOf(m_frames.paintScreen(*loaded, fit));
        });
    }

    // Shows the frame until the given frame number, with the music that goes with it.
    bool push(GstBuffer *frame, qint64 endFrame)
    {
        const qint64 fadeStart = m_totalSamples - kMusicFadeMs * kMusicRate / 1000;
        const qint64 firstFrame = m_frameNumber;
        for (; m_frameNumber < endFrame; ++m_frameNumber) {
            if (!m_writer.pushFrame(frame, m_frameNumber, m_frameNumber == firstFrame))
                return false;
            if (m_music) {
                const qint64 sampleEnd = std::min(m_totalSamples,
                                                  (m_frameNumber + 1) * kMusicRate
                                                      / m_settings.framesPerSecond);
                QByteArray samples = m_music->read(sampleEnd - m_sampleFrame);
                fadeOut(samples, m_sampleFrame, fadeStart, m_totalSamples);
                if (!m_writer.pushMusic(samples, m_sampleFrame))
                    return false;
                m_sampleFrame = sampleEnd;
            }
            if (m_callbacks.progress)
                m_callbacks.progress(static_cast<double>(m_frameNumber + 1) / m_totalFrames);
        }
        return true;
    }

    ExportOutcome stopped() const
    {
        if (cancelled())
            return {ExportOutcome::Kind::Cancelled, {}};
        if (m_writer.error().isEmpty())
            return failure(QStringLiteral("The video encoder stopped"));
        return failure(m_writer.error());
    }

    [[nodiscard]] bool cancelled() const
    {
        return m_callbacks.cancelled && m_callbacks.cancelled();
    }

    const ShowListing &m_show;
    const ExportSettings &m_settings;
    PictureLoader &m_pictures;
    const ExportCallbacks &m_callbacks;
    ShowFrames m_frames;
    Mp4Writer m_writer;
    std::optional<MusicDecoder> m_music;
    qint64 m_totalFrames = 1;
    qint64 m_totalSamples = 0;
    qint64 m_frameNumber = 0;
    qint64 m_sampleFrame = 0;
};

} // namespace

ExportOutcome exportVideo(const ShowListing &show,
                          const QString &targetPath,
                          const ExportSettings &settings,
                          PictureLoader &pictures,
                          const ExportCallbacks &callbacks)
{
    const TimelinePlan plan = planTimeline(show);
    if (plan.problem)
        return failure(problemText(*plan.problem));
    // A missing picture is known before the first frame is encoded.
    for (const TimelinePicture &shown : plan.timeline.pictures) {
        const ListedPicture &picture = show.pictures.at(shown.index);
        if (!QFileInfo(picture.path).isFile()) {
            return failure(showProblemText(
                {ShowProblem::Kind::MissingPicture, picture.line, picture.path, {}}));
        }
    }
    QStringList elements = Mp4Writer::elementsNeeded();
    if (show.musicOn && !show.music.isEmpty())
        elements << MusicDecoder::elementsNeeded();
    if (const std::optional<QString> missing = prepareGStreamer(elements))
        return failure(*missing);

    PartialVideoFile file(targetPath);
    if (!file.create())
        return failure(file.error());
    // The export's pipelines and threads are gone before the partial file is removed.
    ExportOutcome outcome;
    {
        Export exporting(show, settings, pictures, callbacks);
        outcome = exporting.run(plan.timeline, file);
    }
    return outcome;
}

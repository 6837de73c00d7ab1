#pragma once

#include "editor/ShowCommand.h"
#include "picture/PictureLoader.h"

#include <QObject>
#include <QPointer>
#include <QString>

class ExportJob;
class QProgressDialog;
struct ExportOutcome;
struct ProjectSnapshot;

// "Export Video...": asks where to write the video, exports what the window holds on a thread of
// its own behind a progress dialog with Cancel, so the window keeps answering, and says how it
// ended. One export at a time; asking again brings its progress dialog to the front.
class ExportVideoCommand final : public QObject, private ShowCommand
{
    Q_OBJECT

public:
    using ShowCommand::ShowCommand;
    // A running export is cancelled; its partial file goes with it.
    ~ExportVideoCommand() override;

    // The project is taken as it is now; the project folder is where "%CurDir" names are looked
    // for when they are not beside the program.
    void exportVideo(const ProjectSnapshot &project, const QString &projectDirectory);

private:
    void showProgress(int percent, const QString &timeLeft);
    void finish(const ExportOutcome &outcome);

    QString m_lastFileName;
    // Its own loader: it decodes on the export's thread while the window previews pictures.
    ImageReaderPictureLoader m_pictures;
    QPointer<ExportJob> m_job;
    QPointer<QProgressDialog> m_progress;
};

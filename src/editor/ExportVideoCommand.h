#pragma once

#include "picture/PictureLoader.h"

#include <QObject>
#include <QPointer>
#include <QString>

class ExportJob;
class FileChooser;
class MessageBoxService;
class QProgressDialog;
class QWidget;
struct ExportOutcome;
struct PlatformServices;
struct ProjectSnapshot;

// "Export Video...": asks where to write the video, exports what the window holds on a thread of
// its own behind a progress dialog with Cancel, so the window keeps answering, and says how it
// ended. One export at a time; asking again brings its progress dialog to the front.
class ExportVideoCommand final : public QObject
{
    Q_OBJECT

public:
    // "%CurDir" stands for the program directory, as in the test run.
    ExportVideoCommand(QWidget &window, const PlatformServices &services, QString programDirectory);
    // A running export is cancelled; its partial file goes with it.
    ~ExportVideoCommand() override;

    // The project is taken as it is now; the project folder is where "%CurDir" names are looked
    // for when they are not beside the program.
    void exportVideo(const ProjectSnapshot &project, const QString &projectDirectory);

private:
    void showProgress(int percent, const QString &timeLeft);
    void finish(const ExportOutcome &outcome);

    QWidget &m_window;
    FileChooser &m_files;
    MessageBoxService &m_messages;
    QString m_programDirectory;
    QString m_lastFileName;
    // Its own loader: it decodes on the export's thread while the window previews pictures.
    ImageReaderPictureLoader m_pictures;
    QPointer<ExportJob> m_job;
    QPointer<QProgressDialog> m_progress;
};

#pragma once

#include "platform/PlatformServices.h"

#include <QObject>
#include <QPointer>
#include <QString>

class Form1;
struct ProjectSnapshot;

// The editor's test run: writes the project to testrun.test and plays it in the player window's
// test-run variant. The window is not owned by the editor window, so it plays on after that one
// closes; at most one is open, and a second test only raises it.
class TestRun final : public QObject
{
    Q_OBJECT

public:
    // testrun.test goes beside the program when the user may write there, else into the user's
    // data folder (an installed editor lives in a folder only root may write).
    TestRun(const PlatformServices &services, QString programDirectory, QString userDataDirectory);

    // The project is taken as it is now; "%CurDir" names not beside the program are looked for
    // in the project folder. No message is shown for the file, saved or not: the player window
    // reads whatever testrun.test holds and reports its own failures.
    Form1 *run(const ProjectSnapshot &project, const QString &projectDirectory);

    // Where the next test run writes testrun.test.
    [[nodiscard]] QString projectPath() const;

private:
    void letEventsRun();

    PlatformServices m_services;
    QString m_programDirectory;
    QString m_userDataDirectory;
    QPointer<Form1> m_window;
};

#pragma once

#include <QList>
#include <QSize>
#include <QString>

class PictureLoader;

// One thing a show would meet while playing, with the project line that causes it.
struct ShowProblem
{
    enum class Kind {
        UnreadableProject,
        NoPictures,
        MissingPicture,
        UndecodablePicture,
        UnusableColourProfile,
        PauseOutOfRange,
        UnplayableAudio,
    };

    Kind kind = Kind::NoPictures;
    int line = 0; // 0 when no line is to blame
    QString path; // the file as the player resolves it, as a native path
    QString detail;

    // Problems that end the show with an error; the music's never do.
    [[nodiscard]] bool endsShow() const
    {
        return kind != Kind::UnplayableAudio && kind != Kind::UnusableColourProfile;
    }
};

struct ShowCheckReport
{
    int pictures = 0;
    int audioFiles = 0;
    bool stretched = false;
    bool musicOn = false;
    QList<ShowProblem> problems;

    [[nodiscard]] bool showWouldFail() const;
};

// Reads a project as the player does ("%CurDir" is the player's directory, or the project's
// folder for a file that is not there) and tries every picture with the player's own decoding
// for a screen of the given size, every pause against the timer's range and every audio file for
// opening. Opens no window.
[[nodiscard]] ShowCheckReport checkShow(const QString &projectPath,
                                        const QString &programDirectory,
                                        PictureLoader &pictures,
                                        QSize screenSize = QSize(1920, 1080));

// One problem as the report words it: "line 3: picture not found: /media/disc/a.jpg".
[[nodiscard]] QString showProblemText(const ShowProblem &problem);

// The report as lines for a terminal: a summary, one line per problem, and a verdict.
[[nodiscard]] QString formatShowCheckReport(const QString &projectPath,
                                            const ShowCheckReport &report);

#include "player/ImageSequence.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

// A sequence whose "screen" is a list of the paths shown; paths in `unreadable` cannot be read.
struct RecordedShow
{
    QStringList shown;
    QSet<QString> unreadable;
    ImageSequence sequence{[this](const QString &path) {
        if (unreadable.contains(path))
            return false;
        shown << path;
        return true;
    }};
    QSignalSpy failures{&sequence, &ImageSequence::failed};

    // Appends images with their pauses, path then pause.
    void add(std::initializer_list<std::pair<const char *, const char *>> entries)
    {
        for (const auto &[path, pause] : entries)
            sequence.appendImage(QString::fromUtf8(path), QString::fromUtf8(pause));
    }
    [[nodiscard]] int timer1Interval() const { return sequence.Timer1()->interval(); }
    [[nodiscard]] bool timer1Running() const { return sequence.Timer1()->isActive(); }
    [[nodiscard]] bool timer2Running() const { return sequence.Timer2()->isActive(); }
};

} // namespace

TEST(ImageSequence, TwoFiveOneShowsEachPictureForItsPauseAndLoops)
{
    RecordedShow show;
    show.add({{"a.jpg", "2"}, {"b.jpg", "5"}, {"c.jpg", "1"}});

    show.sequence.start();
    EXPECT_TRUE(show.shown.isEmpty()) << "nothing during the start delay";
    EXPECT_TRUE(show.timer2Running());
    EXPECT_EQ(show.sequence.Timer2()->interval(), 1000);
    EXPECT_FALSE(show.timer1Running());

    show.sequence.onTimer2();
    EXPECT_EQ(show.shown, QStringList({"a.jpg"}));
    EXPECT_FALSE(show.timer2Running()) << "the start timer fires once";
    EXPECT_TRUE(show.timer1Running());
    EXPECT_EQ(show.timer1Interval(), 2000);
    EXPECT_EQ(show.sequence.ImagePosition(), 1);

    show.sequence.onTimer1();
    EXPECT_EQ(show.timer1Interval(), 5000);
    show.sequence.onTimer1();
    EXPECT_EQ(show.timer1Interval(), 1000);
    EXPECT_EQ(show.sequence.ImagePosition(), 0) << "back to the first after the last";
    show.sequence.onTimer1();
    EXPECT_EQ(show.timer1Interval(), 2000);
    EXPECT_EQ(show.shown, QStringList({"a.jpg", "b.jpg", "c.jpg", "a.jpg"}));
    EXPECT_TRUE(show.timer1Running());
    EXPECT_EQ(show.failures.count(), 0);
}

TEST(ImageSequence, ASinglePictureIsShownAgainAfterEachPause)
{
    RecordedShow show;
    show.add({{"only.png", "4"}});
    show.sequence.start();
    show.sequence.onTimer2();
    show.sequence.onTimer1();
    show.sequence.onTimer1();
    EXPECT_EQ(show.shown, QStringList({"only.png", "only.png", "only.png"}));
    EXPECT_EQ(show.timer1Interval(), 4000);
}

TEST(ImageSequence, APauseOfZeroStopsOnThatPictureUntilTheEnd)
{
    RecordedShow show;
    show.add({{"a.jpg", "1"}, {"b.jpg", "0"}, {"c.jpg", "1"}});
    show.sequence.start();
    show.sequence.onTimer2();
    show.sequence.onTimer1();
    EXPECT_EQ(show.shown.last(), "b.jpg");
    EXPECT_FALSE(show.timer1Running()) << "an interval of 0 never fires";
    QTest::qWait(50);
    EXPECT_EQ(show.shown.size(), 2);
    EXPECT_EQ(show.failures.count(), 0);
}

struct PauseTurnCase
{
    const char *pause;
    bool ends;
};

class PauseAtItsTurn : public ::testing::TestWithParam<PauseTurnCase>
{};

TEST_P(PauseAtItsTurn, EndsTheShowOnlyWhenThatPictureIsReached)
{
    RecordedShow show;
    show.add({{"first.jpg", "3"}, {"second.jpg", GetParam().pause}});
    show.sequence.start();
    show.sequence.onTimer2();
    EXPECT_EQ(show.failures.count(), 0) << "not at load time, not before its turn";

    show.sequence.onTimer1();
    EXPECT_EQ(show.failures.count(), GetParam().ends ? 1 : 0);
    if (GetParam().ends) {
        EXPECT_EQ(show.shown, QStringList({"first.jpg"})) << "the broken entry is not shown";
        EXPECT_FALSE(show.timer1Running());
        EXPECT_FALSE(show.timer2Running());
    } else {
        EXPECT_EQ(show.shown.last(), "second.jpg");
        EXPECT_EQ(show.timer1Interval(), 65000);
    }
}

INSTANTIATE_TEST_SUITE_P(Pauses,
                         PauseAtItsTurn,
                         ::testing::Values(PauseTurnCase{"65", false},
                                           PauseTurnCase{"66", true},
                                           PauseTurnCase{"-2", true}));

TEST(ImageSequence, AnUnreadablePictureFailsOnceAndStopsBothTimers)
{
    RecordedShow show;
    show.add({{"good.jpg", "2"}, {"missing.jpg", "2"}});
    show.unreadable << "missing.jpg";
    show.sequence.start();
    show.sequence.onTimer2();
    EXPECT_EQ(show.failures.count(), 0);

    show.sequence.onTimer1();
    EXPECT_EQ(show.failures.count(), 1);
    EXPECT_FALSE(show.timer1Running());
    EXPECT_FALSE(show.timer2Running());
    // Timer events that were already on their way change nothing.
    show.sequence.onTimer1();
    show.sequence.onTimer2();
    EXPECT_EQ(show.failures.count(), 1);
    EXPECT_EQ(show.shown, QStringList({"good.jpg"}));
}

TEST(ImageSequence, RealTimersRunThePicturesInOrder)
{
    RecordedShow show;
    show.add({{"a.jpg", "0.05"}, {"b.jpg", "0.05"}});
    show.sequence.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return show.shown.size() >= 5; }, 5000));
    show.sequence.stop();
    EXPECT_EQ(show.shown.mid(0, 5), QStringList({"a.jpg", "b.jpg", "a.jpg", "b.jpg", "a.jpg"}));
    EXPECT_EQ(show.failures.count(), 0);
}

#include "dialogs/FileNamePattern.h"
#include "dialogs/DirectoryListing.h"

#include <gtest/gtest.h>

struct PatternCase
{
    const char *pattern;
    const char *fileName;
    bool matches;
};

class FileNamePatternMatch : public ::testing::TestWithParam<PatternCase>
{};

TEST_P(FileNamePatternMatch, MatchesAsAWindowsFileListDoes)
{
    const PatternCase &param = GetParam();
    const FileNamePattern pattern(QString::fromUtf8(param.pattern));
    EXPECT_EQ(pattern.matches(QString::fromUtf8(param.fileName)), param.matches)
        << param.pattern << " / " << param.fileName;
}

INSTANTIATE_TEST_SUITE_P(Wildcards,
                         FileNamePatternMatch,
                         ::testing::Values(
                             // case does not matter, in patterns or names, also beyond ASCII
                             PatternCase{"*.jpg", "Photo.JPG", true},
                             PatternCase{"*.JPEG", "photo.jpeg", true},
                             PatternCase{"ä*.gif", "Äpfel.GIF", true},
                             // only the whole name matches
                             PatternCase{"*.jpg", "photo.jpg.txt", false},
                             PatternCase{"*.tif", "scan.tiff", false},
                             PatternCase{"*.jpg", "jpg", false},
                             // several patterns, blanks around them ignored
                             PatternCase{"*.jpg;*.png", "x.png", true},
                             PatternCase{" *.gif ; *.bmp ", "x.bmp", true},
                             PatternCase{"*.jpg;;", "x.jpg", true},
                             PatternCase{"*.jpg;*.png", "x.bmp", false},
                             // "?" is exactly one character, "*" any run, "*.*" every name
                             PatternCase{"?.txt", "a.txt", true},
                             PatternCase{"?.txt", "ab.txt", false},
                             PatternCase{"a*b*c", "aXXbYc", true},
                             PatternCase{"a*b*c", "aXXcYb", false},
                             PatternCase{"*.*", "README", true},
                             PatternCase{"*", ".profile", true},
                             PatternCase{"**x", "x", true},
                             // other characters are themselves: brackets are no character sets
                             PatternCase{"photo[1].jpg", "photo[1].jpg", true},
                             PatternCase{"photo[1].jpg", "photo1.jpg", false},
                             // nothing typed matches nothing
                             PatternCase{"", "a.jpg", false},
                             PatternCase{" ; ", "a.jpg", false}));

TEST(DirectoryListingOrder, SortsByNameWithoutRegardToCase)
{
    QStringList names{QStringLiteral("b.jpg"),
                      QStringLiteral("B.jpg"),
                      QStringLiteral("a.JPG"),
                      QStringLiteral("_x.jpg"),
                      QStringLiteral("10.jpg"),
                      QStringLiteral("9.jpg")};
    sortNamesIgnoringCase(names);
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("10.jpg"),
                           QStringLiteral("9.jpg"),
                           QStringLiteral("_x.jpg"),
                           QStringLiteral("a.JPG"),
                           QStringLiteral("B.jpg"),
                           QStringLiteral("b.jpg")}));
}

TEST(DirectoryListingOrder, ChainRunsFromTheRootDownToTheDirectory)
{
    EXPECT_EQ(directoryChain(QStringLiteral("/home/ann/Pictures/")),
              (QStringList{QStringLiteral("/"),
                           QStringLiteral("/home"),
                           QStringLiteral("/home/ann"),
                           QStringLiteral("/home/ann/Pictures")}));
    EXPECT_EQ(directoryChain(QStringLiteral("/")), QStringList{QStringLiteral("/")});
}

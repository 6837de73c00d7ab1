#include "platform/CommonDialog.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

TEST(CommonDialog, TranslatesFiltersForQtAndMatchesUpperCaseNames)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("Slideshow Projects|*.ssp")),
              QStringList{QStringLiteral("Slideshow Projects (*.ssp *.SSP)")});
    EXPECT_EQ(qtNameFilters(QStringLiteral("Picture files|*.jpg;*.png|All types|*.*")),
              (QStringList{QStringLiteral("Picture files (*.jpg *.JPG *.png *.PNG)"),
                           QStringLiteral("All types (*)")}));
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
}

TEST(CommonDialog, RemembersTheChosenNameAndReportsCancelAsFailure)
{
    FakeFileChooser chooser;
    CommonDialog dialog(chooser);
    dialog.setFilter(QStringLiteral("Slideshow Projects|*.ssp"));

    chooser.answers = {QStringLiteral("/shows/party show.ssp"), std::nullopt};
    ASSERT_TRUE(dialog.showSave());
    EXPECT_EQ(dialog.fileName(), QStringLiteral("/shows/party show.ssp"));
    EXPECT_EQ(dialog.fileTitle(), QStringLiteral("party show.ssp"));

    // The next dialog offers the name chosen last; a cancel keeps it and fails.
    EXPECT_FALSE(dialog.showOpen());
    ASSERT_EQ(chooser.requests.size(), 2U);
    EXPECT_EQ(chooser.requests[0].mode, FileDialogMode::Save);
    EXPECT_EQ(chooser.requests[1].mode, FileDialogMode::Open);
    EXPECT_EQ(chooser.requests[1].initialFileName, QStringLiteral("/shows/party show.ssp"));
    EXPECT_EQ(dialog.fileName(), QStringLiteral("/shows/party show.ssp"));

    // Title is passed through; an empty title leaves the platform's own.
    dialog.setDialogTitle(QStringLiteral("Add Image File"));
    chooser.answers = {QString()};
    EXPECT_FALSE(dialog.showOpen()) << "an empty name is no choice";
    EXPECT_EQ(chooser.requests.back().title, QStringLiteral("Add Image File"));
}

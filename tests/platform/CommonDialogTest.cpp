#include "platform/CommonDialog.h"
#include "platform/QtFileChooser.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

TEST(CommonDialog, TheRealOpenDialogTakesATypedNameThatDoesNotExist)
{
    QTemporaryDir dir;
    const QString typed = dir.filePath(QStringLiteral("not yet.ssp"));
    // Types the name and presses Enter, as a user does. A dialog that refuses the name says so in
    // a box of its own; both are closed a little later, so the test ends either way.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start(1000);
    QTimer::singleShot(0, [typed] {
        auto *name = QApplication::activeModalWidget()->findChild<QLineEdit *>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(typed);
        QTest::keyClick(name, Qt::Key_Return);
    });
    QtFileChooser chooser;
    EXPECT_EQ(chooser.chooseFile({FileDialogMode::Open, {}, {}, {}}),
              QDir::toNativeSeparators(typed));
}

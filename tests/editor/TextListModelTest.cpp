#include "editor/TextListModel.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(TextListModelTest, AppendsBetweenEventPassesReachTheViewsAsOneInsertion)
{
    TextListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 1000; ++i)
        model.append(QString::number(i));

    // Every row is there for readers at once, before the views hear of them.
    EXPECT_EQ(model.count(), 1000);
    EXPECT_EQ(model.text(999), QStringLiteral("999"));
    EXPECT_EQ(model.texts().size(), 1000);

    QCoreApplication::processEvents();
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.front().at(1).toInt(), 0);
    EXPECT_EQ(inserted.front().at(2).toInt(), 999);
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(model.data(model.index(500), Qt::DisplayRole).toString(), QStringLiteral("500"));

    model.append(QStringLiteral("late"));
    QCoreApplication::processEvents();
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted.back().at(1).toInt(), 1000);
}

TEST(TextListModelTest, EditsAndRemovalsWorkOnRowsNotYetShown)
{
    TextListModel model;
    model.append(QStringLiteral("a"));
    model.append(QStringLiteral("b"));
    model.append(QStringLiteral("c"));

    EXPECT_TRUE(model.setText(2, QStringLiteral("C")));
    EXPECT_FALSE(model.setText(3, QStringLiteral("x")));
    EXPECT_FALSE(model.setText(-1, QStringLiteral("x")));
    EXPECT_TRUE(model.removeRow(0));
    EXPECT_FALSE(model.removeRow(5));
    EXPECT_EQ(model.texts(), QStringList({QStringLiteral("b"), QStringLiteral("C")}));
    // Removing made the views see all rows first, so nothing is left to insert later.
    EXPECT_EQ(model.rowCount(), 2);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QCoreApplication::processEvents();
    EXPECT_TRUE(inserted.isEmpty());

    model.clear();
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.text(0), QString());
}

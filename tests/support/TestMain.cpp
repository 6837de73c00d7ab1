#include <QApplication>

#include <gtest/gtest.h>

// Every test binary runs with a real QApplication; widgets draw offscreen unless a display is
// asked for explicitly. Listing the cases, as CTest does before it runs them, needs none.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

#include <QCoreApplication>
#include <gtest/gtest.h>

// The engine parses replies and runs its timers on the thread of a Qt event loop.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

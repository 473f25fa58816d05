// The entry of test programs that wait on Qt's event loop (network replies, timers): a
// QCoreApplication whose loop the tests spin with QSignalSpy::wait.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

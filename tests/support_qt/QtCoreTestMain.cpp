// The entry of test programs that wait on Qt's event loop (bus replies, network replies, timers,
// results delivered on the main thread): a QCoreApplication whose loop the tests spin.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

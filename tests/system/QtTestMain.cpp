// The entry of the helper's and its client's test programs: a QCoreApplication for the Qt code
// under test, whose event loop the tests spin while they wait for replies.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

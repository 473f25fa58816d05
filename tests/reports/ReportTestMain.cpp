// The report tests' entry: the renderer program of this build, the headless platform, and a
// QGuiApplication for the images.
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("CINDERVAULT_RENDERER"))
        qputenv("CINDERVAULT_RENDERER", CINDERVAULT_TEST_RENDERER);
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The report tests' entry: the renderer program of this build, the headless platform, a
// QGuiApplication for the images, a data folder of the tests' own, so that no signing key of the
// user's is ever read or made, and the translation tables a report's language is read from.
#include "TempDir.h"
#include "translations/AppTranslator.h"

#include <QGuiApplication>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("CINDERVAULT_RENDERER"))
        qputenv("CINDERVAULT_RENDERER", CINDERVAULT_TEST_RENDERER);
    const cv::test::TempDir data;
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    QGuiApplication app(argc, argv);
    cv::AppTranslator::bindLanguageLookup();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

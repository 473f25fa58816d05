// The test program's entry: a QCoreApplication for the Qt code under test, and a writer mode in
// which the program plays a second process that writes the same settings file.
#include "settings/SettingsManager.h"

#include <QCoreApplication>
#include <QString>

#include <cstring>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// --settings-writer FILE TAG COUNT: writes COUNT integers and COUNT strings under keys named after
// TAG, each written through at once, as the window and the command line do side by side.
int runWriter(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    cv::SettingsManager settings(QString::fromLocal8Bit(argv[2]));
    const QString tag = QString::fromLocal8Bit(argv[3]);
    const int count = std::atoi(argv[4]);
    for (int i = 0; i < count; ++i) {
        settings.setInteger(i, tag + u"_int_"_s + QString::number(i));
        settings.setString(tag + u" text "_s + QString::number(i), tag + u"_text_"_s + QString::number(i));
    }
    settings.setBool(false, cv::SettingsManager::kSettingsNotificationsSound);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--settings-writer") == 0)
        return runWriter(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "system/LogindSleepInhibitor.h"

#include <cstdlib>
#include <gtest/gtest.h>

// Without logind (or any system bus) a job must still run: the inhibitor says no, promptly, and
// holds nothing.
TEST(LogindSleepInhibitor, WithoutASystemBusItRefusesAndHoldsNothing)
{
    const char* previous = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    const std::string saved = previous ? previous : "";
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/cindervault-test-bus", 1);
    cv::LogindSleepInhibitor inhibitor;
    EXPECT_FALSE(inhibitor.acquire("Cindervault", "Cindervault Action"));
    EXPECT_FALSE(inhibitor.held());
    inhibitor.release(); // harmless when nothing is held
    if (previous)
        ::setenv("DBUS_SYSTEM_BUS_ADDRESS", saved.c_str(), 1);
    else
        ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

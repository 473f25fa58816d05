#include "system/LogindSleepInhibitor.h"

#include "common/Log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace cv {

namespace {

// Frees what sd-bus hands out, whatever way the call ends.
struct BusDeleter
{
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageDeleter
{
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};

} // namespace

bool LogindSleepInhibitor::acquire(const std::string& who, const std::string& why)
{
    release();
    sd_bus* rawBus = nullptr;
    int result = sd_bus_open_system(&rawBus);
    std::unique_ptr<sd_bus, BusDeleter> bus(rawBus);
    if (result < 0) {
        logMessage("Cannot keep the machine awake: no system bus (", std::strerror(-result), ")");
        return false;
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* rawReply = nullptr;
    result = sd_bus_call_method(bus.get(), "org.freedesktop.login1", "/org/freedesktop/login1",
                                "org.freedesktop.login1.Manager", "Inhibit", &error, &rawReply, "ssss",
                                "idle:sleep", who.c_str(), why.c_str(), "block");
    std::unique_ptr<sd_bus_message, MessageDeleter> reply(rawReply);
    if (result < 0) {
        logMessage("Cannot keep the machine awake: ", error.message ? error.message : std::strerror(-result));
        sd_bus_error_free(&error);
        return false;
    }
    int fd = -1;
    result = sd_bus_message_read(reply.get(), "h", &fd);
    // The descriptor belongs to the reply: keep a copy of our own.
    const int own = result >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 3) : -1;
    if (own < 0) {
        logMessage("Cannot keep the machine awake: logind's answer holds no lock");
        return false;
    }
    m_lock.reset(own);
    return true;
}

void LogindSleepInhibitor::release()
{
    m_lock.reset();
}

} // namespace cv

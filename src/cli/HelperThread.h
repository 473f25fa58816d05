#pragma once

#include <functional>
#include <memory>

class QThread;

namespace cv {
class HelperToolService;
}

namespace cv::cli {

// The privileged helper's client for the command line, whose main thread runs no Qt event loop:
// the window's client (HelperToolService), on a Qt thread of its own that does. Calls may come
// from any thread, as the job makes them; the client moves them to its thread itself.
class HelperThread
{
public:
    // Needs the application object (CliApplication::ensure) to exist. Without askPassword the
    // helper refuses work that needs a password instead of having the user asked; beforeAsking
    // (may be empty) runs on the client's thread before each call that may have the user asked.
    HelperThread(bool askPassword, std::function<void()> beforeAsking);
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    HelperToolService& service() { return *m_service; }

private:
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<HelperToolService> m_service;
};

} // namespace cv::cli

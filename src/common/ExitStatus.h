#pragma once

#include <csignal>

namespace cv {

// The exit statuses of the project's programs (the command line, the helper, the renderer), so that
// the program that starts another and the one that ends say the same thing by the same name.
constexpr int kExitOk = 0;
// The work was done in part or not at all (files not overwritten, a report not rendered, the bus
// not reachable); the reason is on standard error or in the log.
constexpr int kExitFailure = 1;
// The arguments were wrong; nothing was done.
constexpr int kExitUsage = 2;
// A job cancelled by SIGINT or SIGTERM: the status a shell gives a program that SIGINT ended.
constexpr int kExitCancelled = 128 + SIGINT;

} // namespace cv

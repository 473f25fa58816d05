#pragma once

#include <functional>

namespace cv::test {

// Moves the calling process into a mount namespace of its own (root only), lets setUp mount what
// a test needs there (bind mounts of "/", a tmpfs over a system folder), and then makes every
// mount of that namespace read-only per mount point (MS_REMOUNT | MS_BIND | MS_RDONLY: the file
// systems themselves stay writable for the rest of the machine). A program started afterwards can
// change nothing anywhere, whatever it attempts. For the child of a fork (ProcessOptions::beforeExec):
// a process with threads cannot leave its mount namespace. False when any step failed.
bool enterReadOnlyMountNamespace(const std::function<bool()>& setUp);

} // namespace cv::test

#pragma once

#include "app/intake/DropProtocol.h"

#include <QObject>

#include <string>
#include <vector>

namespace cv {

// Takes in files the desktop hands to the application from outside its window (opened with the
// application, or sent with the file manager's "Shred with Cindervault") and passes them to the
// shred screen as if they had been dropped there. While no shred screen can take them (during a
// job, or before the window is up) they wait in a queue for the next shred screen.
// GUI thread only.
class SystemService : public QObject
{
    Q_OBJECT

public:
    SystemService() = default;
    static SystemService& sharedInstance();

    const std::vector<std::string>& files() const { return m_files; }
    bool readyToReceiveFiles() const { return m_readyToReceiveFiles; }
    void setReadyToReceiveFiles(bool ready) { m_readyToReceiveFiles = ready; }
    DropProtocol* delegate() const { return m_delegate; }
    void setDelegate(DropProtocol* delegate) { m_delegate = delegate; }

    // The file manager's request to shred these paths. Nothing happens for an empty list.
    void erase(const std::vector<std::string>& paths);
    // One file opened with the application.
    void openFile(const std::string& path);
    // A shred screen is ready: queued files go to it, in arrival order, and later ones go directly.
    void readyToRun();

private:
    void keep(const std::vector<std::string>& paths);
    bool canDeliver() const { return m_readyToReceiveFiles && m_delegate; }

    std::vector<std::string> m_files;
    bool m_readyToReceiveFiles = false;
    DropProtocol* m_delegate = nullptr;
};

} // namespace cv

#pragma once

#include <QFileDevice>
#include <QString>

namespace kadrano {

// What a download does when its file is already there.
enum class DownloadMode : int {
    NewName = 0,       // never overwrite: "a.jpg" becomes "a (2).jpg", "a (3).jpg", …
    KeepExisting = 1,  // nothing happens, the result is empty
    FailIfExists = 2,  // fails, the result is empty
    Overwrite = 3,
};

// Where a download of address into target lands: target is a file path, or an existing
// folder (then the name is the last part of the address). Empty when the download must
// not happen (no name to be had, or the mode forbids it). Quotes around both are ignored.
QString downloadPath(const QString& address, const QString& target, DownloadMode mode);

// The address as it is fetched: "www." gets a scheme put in front.
QString downloadAddress(const QString& address);

// Downloads files through Qt Network, fresh from the server (no cache on the way). Only
// HTTPS with checked certificates; plain HTTP only to the loopback address, and only for
// a downloader made for tests.
class Downloader {
public:
    Downloader() = default;
    static Downloader forLoopbackTests();

    // Fetches address into target and returns the file's path, or the empty text. The file
    // appears under its name only when it arrived completely (with extraPermissions, e.g.
    // executable, already set); a failed, empty or cut-short download leaves nothing
    // behind and never touches a file that was there before.
    QString URLDownload(const QString& address, const QString& target, DownloadMode mode,
                        QFileDevice::Permissions extraPermissions = {}) const;

    // Why the last download failed (for a test's eyes; the program says nothing).
    const QString& lastError() const { return lastError_; }

    // Longest wait for the next piece of data before a download counts as failed.
    void setStallTimeout(int ms) { stallTimeoutMs_ = ms; }

private:
    bool allowsAddress(const QString& url) const;

    bool allowLoopbackHttp_ = false;
    int stallTimeoutMs_ = 60000;
    mutable QString lastError_;
};

}  // namespace kadrano

#include "download.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QUrl>
#include <filesystem>

#include "core/pathhelpers.h"

namespace kadrano {

namespace {

QString joinPath(const QString& dir, const QString& name, QChar separator) {
    if (dir.isEmpty())
        return name;
    if (dir.endsWith(separator))
        return dir + name;
    return dir + separator + name;
}

// The last part of the address's path; no query or fragment, and never a name that would
// point elsewhere than into the folder.
QString nameFromAddress(const QString& address) {
    if (!address.contains(u'/'))
        return QString();
    const QString name = QUrl(address).fileName();
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(u'/') ||
        name.contains(u'\\'))
        return QString();
    return name;
}

bool isLoopback(const QUrl& url) {
    const QHostAddress host(url.host());
    return !host.isNull() && host.isLoopback();
}

// Moves the complete download to its name. Overwriting replaces the old file in one step;
// the other modes never overwrite, even a file that appeared meanwhile.
bool moveIntoPlace(const QString& from, const QString& to, bool overwrite) {
    if (!overwrite)
        return QFile::rename(from, to);
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdWString()),
                            std::filesystem::path(to.toStdWString()), error);
    return !error;
}

}  // namespace

QString downloadAddress(const QString& address) {
    // Only HTTPS reaches the update server, so a bare "www." address gets that scheme.
    if (address.toUpper().startsWith(QLatin1String("WWW.")))
        return QStringLiteral("https://") + address;
    return address;
}

QString downloadPath(const QString& addressText, const QString& targetText, DownloadMode mode) {
    const QString address = Unquote(addressText);
    const QString target = Unquote(targetText);
    const QChar sep = pathSeparatorOf(target);
    const bool targetIsDir = !target.isEmpty() && QFileInfo(target).isDir();

    if (mode == DownloadMode::NewName) {
        QString dir;
        QString name;
        if (targetIsDir) {
            dir = target;
            name = nameFromAddress(address);
        } else {
            const int cut = target.lastIndexOf(sep);
            dir = target.left(cut + 1);
            name = target.mid(cut + 1);
        }
        if (name.isEmpty())
            return QString();
        const int dot = name.lastIndexOf(u'.');
        const QString base = dot < 0 ? name : name.left(dot);
        const QString extension = dot < 0 ? QString() : name.mid(dot);
        QString path = joinPath(dir, name, sep);
        for (int k = 2; QFileInfo::exists(path); ++k)
            path = joinPath(dir, base + QStringLiteral(" (%1)").arg(k) + extension, sep);
        return path;
    }

    QString path = target;
    if (targetIsDir) {
        const QString name = nameFromAddress(address);
        if (name.isEmpty())
            return QString();
        path = joinPath(target, name, sep);
    }
    if (path.isEmpty())
        return QString();
    if (QFileInfo::exists(path) && mode != DownloadMode::Overwrite)
        return QString();
    return path;
}

Downloader Downloader::forLoopbackTests() {
    Downloader d;
    d.allowLoopbackHttp_ = true;
    return d;
}

bool Downloader::allowsAddress(const QString& address) const {
    const QUrl url(address);
    if (!url.isValid())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    return allowLoopbackHttp_ && url.scheme() == QLatin1String("http") && isLoopback(url);
}

QString Downloader::URLDownload(const QString& addressText, const QString& targetText,
                                DownloadMode mode,
                                QFileDevice::Permissions extraPermissions) const {
    lastError_.clear();
    const QString path = downloadPath(addressText, targetText, mode);
    if (path.isEmpty()) {
        lastError_ = QStringLiteral("no file name, or the file exists");
        return QString();
    }
    const QString address = downloadAddress(Unquote(addressText));
    if (!allowsAddress(address)) {
        lastError_ = QStringLiteral("not an HTTPS address: ") + address;
        return QString();
    }

    // The download grows in a hidden file beside its place, so that it can take its name
    // in one step once it is complete.
    const QFileInfo info(path);
    QTemporaryFile part(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX.part"));
    if (!part.open()) {
        lastError_ = QStringLiteral("cannot write into ") + info.absolutePath();
        return QString();
    }

    QNetworkAccessManager network;
    network.setCache(nullptr);
    QNetworkRequest request{QUrl(address)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // Redirects may not lead from HTTPS to plain HTTP.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(stallTimeoutMs_);

    QNetworkReply* reply = network.get(request);
    qint64 written = 0;
    bool writeFailed = false;
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        const QByteArray bytes = reply->readAll();
        if (part.write(bytes) != bytes.size()) {
            writeFailed = true;
            reply->abort();
        }
        written += bytes.size();
    });
    // Certificate errors are never ignored: the reply then ends with an error.
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const QByteArray rest = reply->readAll();
    if (!rest.isEmpty()) {
        if (part.write(rest) != rest.size())
            writeFailed = true;
        written += rest.size();
    }

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (reply->error() != QNetworkReply::NoError)
        lastError_ = reply->errorString();
    else if (status < 200 || status > 299)
        lastError_ = QStringLiteral("HTTP status %1").arg(status);
    else if (!allowsAddress(reply->url().toString()))
        lastError_ = QStringLiteral("redirected to ") + reply->url().toString();
    else if (writeFailed || !part.flush())
        lastError_ = QStringLiteral("cannot write ") + part.fileName();
    else if (written == 0)
        lastError_ = QStringLiteral("nothing arrived");
    else if (length.isValid() && length.toLongLong() != written)
        lastError_ = QStringLiteral("%1 of %2 bytes arrived").arg(written).arg(length.toLongLong());
    reply->deleteLater();
    if (!lastError_.isEmpty())
        return QString();

    part.close();
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                        QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther |
                        extraPermissions);
    if (!moveIntoPlace(part.fileName(), path, mode == DownloadMode::Overwrite)) {
        lastError_ = QStringLiteral("cannot name the file ") + path;
        return QString();
    }
    // The file now has its own name; the temporary file object must not take it away.
    part.setAutoRemove(false);
    return path;
}

}  // namespace kadrano

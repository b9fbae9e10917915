#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>

#include "support/testfiles.h"
#include "testserver.h"
#include "update/download.h"

namespace kadrano {
namespace {

using test::TempFolder;
using test::TestWebServer;

TEST(DownloadPath, NamingRulesOfTheModes) {
    TempFolder dir;
    const QString address = QStringLiteral("https://example.org/bilder/a.jpg");
    const QString folder = dir.path();

    // A folder as the target takes the address's last part as the name.
    EXPECT_EQ(downloadPath(address, folder, DownloadMode::Overwrite), dir.file("a.jpg"));
    EXPECT_EQ(downloadPath(u'"' + address + u'"', u'"' + folder + u'"', DownloadMode::FailIfExists),
              dir.file("a.jpg"));
    EXPECT_EQ(downloadPath(QStringLiteral("a.jpg"), folder, DownloadMode::Overwrite), QString());
    EXPECT_EQ(
        downloadPath(QStringLiteral("https://example.org/"), folder, DownloadMode::KeepExisting),
        QString());
    EXPECT_EQ(
        downloadPath(QStringLiteral("https://example.org/x/.."), folder, DownloadMode::NewName),
        QString());

    dir.write(QStringLiteral("a.jpg"));
    EXPECT_EQ(downloadPath(address, folder, DownloadMode::KeepExisting), QString());
    EXPECT_EQ(downloadPath(address, folder, DownloadMode::FailIfExists), QString());
    EXPECT_EQ(downloadPath(address, dir.file("a.jpg"), DownloadMode::Overwrite), dir.file("a.jpg"));

    // Never overwrite: the next free name, by folder or by file target.
    EXPECT_EQ(downloadPath(address, folder, DownloadMode::NewName), dir.file("a (2).jpg"));
    dir.write(QStringLiteral("a (2).jpg"));
    EXPECT_EQ(downloadPath(address, dir.file("a.jpg"), DownloadMode::NewName),
              dir.file("a (3).jpg"));
    dir.write(QStringLiteral("liesmich"));
    EXPECT_EQ(downloadPath(address, dir.file("liesmich"), DownloadMode::NewName),
              dir.file("liesmich (2)"));
    EXPECT_EQ(downloadPath(address, dir.file("neu.txt"), DownloadMode::NewName),
              dir.file("neu.txt"));
}

TEST(DownloadAddress, WwwGetsTheSecureScheme) {
    EXPECT_EQ(downloadAddress(QStringLiteral("www.example.org/a")),
              QStringLiteral("https://www.example.org/a"));
    EXPECT_EQ(downloadAddress(QStringLiteral("wWw.example.org/a")),
              QStringLiteral("https://wWw.example.org/a"));
    EXPECT_EQ(downloadAddress(QStringLiteral("https://www.example.org/a")),
              QStringLiteral("https://www.example.org/a"));
    EXPECT_EQ(downloadAddress(QStringLiteral("example.org/www.a")),
              QStringLiteral("example.org/www.a"));
}

class DownloadTest : public ::testing::Test {
protected:
    TempFolder dir;
    TestWebServer server;
    Downloader downloader = Downloader::forLoopbackTests();

    QString url(const QString& path) const { return server.base().toString() + path; }
    // Nothing but the named files: no piece of a download stays behind.
    QStringList entries() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_F(DownloadTest, ACompleteFileArrivesFreshAndWhole) {
    QByteArray body;
    for (int i = 0; i < 300000; ++i)
        body += char('a' + i % 26);
    server.serve(QStringLiteral("/Update"), {200, body, -1});

    const QString got = downloader.URLDownload(url(QStringLiteral("/Update")), dir.path(),
                                               DownloadMode::Overwrite, QFileDevice::ExeOwner);
    ASSERT_EQ(got, dir.file("Update")) << downloader.lastError().toStdString();
    EXPECT_EQ(dir.read("Update"), body);
    EXPECT_TRUE(QFileInfo(got).permissions() & QFileDevice::ExeOwner);
    EXPECT_EQ(entries(), QStringList{"Update"});

    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].headers.value("cache-control"), "no-cache");

    // Mode 0 keeps the first and takes the next free name.
    EXPECT_EQ(
        downloader.URLDownload(url(QStringLiteral("/Update")), dir.path(), DownloadMode::NewName),
        dir.file("Update (2)"));
    EXPECT_FALSE(QFileInfo(dir.file("Update (2)")).permissions() & QFileDevice::ExeOwner);
    // Mode 1 leaves the existing file and fetches nothing.
    EXPECT_EQ(downloader.URLDownload(url(QStringLiteral("/Update")), dir.path(),
                                     DownloadMode::KeepExisting),
              QString());
    EXPECT_EQ(server.requests().size(), 2);
}

TEST_F(DownloadTest, AFailedDownloadLeavesNothingAndKeepsTheOldFile) {
    server.serve(QStringLiteral("/cut"), {200, QByteArray(50000, 'x'), 1000});
    server.serve(QStringLiteral("/empty"), {200, QByteArray(), -1});
    server.serve(QStringLiteral("/error"), {500, QByteArray("oops"), -1});
    dir.write(QStringLiteral("Update"), "old updater");

    for (const QString& path : {QStringLiteral("/missing"), QStringLiteral("/cut"),
                                QStringLiteral("/empty"), QStringLiteral("/error")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(downloader.URLDownload(url(path), dir.file("Update"), DownloadMode::Overwrite),
                  QString());
        EXPECT_FALSE(downloader.lastError().isEmpty());
        EXPECT_EQ(dir.read("Update"), "old updater");
        EXPECT_EQ(downloader.URLDownload(url(path), dir.file("new"), DownloadMode::Overwrite),
                  QString());
        EXPECT_EQ(entries(), QStringList{"Update"});
    }

    const QString refused = TestWebServer::refusingBase().toString() + QStringLiteral("/Update");
    EXPECT_EQ(downloader.URLDownload(refused, dir.file("new"), DownloadMode::Overwrite), QString());
    EXPECT_EQ(entries(), QStringList{"Update"});
}

TEST_F(DownloadTest, OnlyHttpsLeavesTheMachine) {
    server.serve(QStringLiteral("/a.jpg"), {200, QByteArray("picture"), -1});
    // The program's own downloader refuses plain HTTP, even to this machine.
    Downloader real;
    EXPECT_EQ(real.URLDownload(url(QStringLiteral("/a.jpg")), dir.path(), DownloadMode::Overwrite),
              QString());
    // The one for tests takes plain HTTP only to the loopback address.
    EXPECT_EQ(downloader.URLDownload(QStringLiteral("http://example.org/a.jpg"), dir.path(),
                                     DownloadMode::Overwrite),
              QString());
    EXPECT_EQ(downloader.URLDownload(QStringLiteral("ftp://127.0.0.1/a.jpg"), dir.path(),
                                     DownloadMode::Overwrite),
              QString());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(entries().isEmpty());
}

// A server on this machine with a certificate nobody vouches for: the download must not
// trust it.
TEST_F(DownloadTest, AnUntrustedCertificateIsRefused) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                   dir.file("key.pem"), "-out", dir.file("cert.pem")});
    ASSERT_TRUE(openssl.waitForFinished(60000) && openssl.exitCode() == 0)
        << "openssl is needed to make a certificate";
    ASSERT_TRUE(QSslSocket::supportsSsl());

    QFile keyFile(dir.file("key.pem"));
    QFile certFile(dir.file("cert.pem"));
    ASSERT_TRUE(keyFile.open(QIODevice::ReadOnly) && certFile.open(QIODevice::ReadOnly));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa));
    tls.setLocalCertificate(QSslCertificate(certFile.readAll()));
    QSslServer secure;
    secure.setSslConfiguration(tls);
    int handshakes = 0;
    QObject::connect(&secure, &QSslServer::startedEncryptionHandshake, [&] { ++handshakes; });
    QObject::connect(&secure, &QTcpServer::pendingConnectionAvailable, [&] {
        while (QTcpSocket* socket = secure.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Length: 7\r\nConnection: close\r\n\r\n"
                    "updater");
                socket->disconnectFromHost();
            });
        }
    });
    ASSERT_TRUE(secure.listen(QHostAddress::LocalHost, 0));

    Downloader real;
    const QString address = QStringLiteral("https://127.0.0.1:%1/Update").arg(secure.serverPort());
    EXPECT_EQ(real.URLDownload(address, dir.file("Update"), DownloadMode::Overwrite), QString());
    EXPECT_GE(handshakes, 1);  // it got as far as the certificate
    QFile::remove(dir.file("key.pem"));
    EXPECT_EQ(entries(), QStringList{"cert.pem"});

    // Once the certificate is vouched for, the same server delivers: it was the certificate
    // that was refused.
    const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = before;
    trusting.addCaCertificates(dir.file("cert.pem"));
    QSslConfiguration::setDefaultConfiguration(trusting);
    const QString got = real.URLDownload(address, dir.file("Update"), DownloadMode::Overwrite);
    QSslConfiguration::setDefaultConfiguration(before);
    EXPECT_EQ(got, dir.file("Update")) << real.lastError().toStdString();
    EXPECT_EQ(dir.read("Update"), "updater");
}

}  // namespace
}  // namespace kadrano

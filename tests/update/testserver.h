#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QUrl>

namespace kadrano::test {

// A small web server on 127.0.0.1 for download tests. It answers in the test's own event
// loop, so it serves while the downloader waits for its reply.
class TestWebServer : public QObject {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        // Bytes of the body sent before the connection is dropped (-1: all of it). The
        // declared length stays that of the whole body.
        qsizetype cutAfter = -1;
    };

    TestWebServer();
    QUrl base() const;
    void serve(const QString& path, const Response& response) { responses_[path] = response; }

    // Every request as it arrived: the path and its header lines (names in lower case).
    struct Request {
        QString path;
        QHash<QByteArray, QByteArray> headers;
    };
    const QList<Request>& requests() const { return requests_; }

    // An address on 127.0.0.1 where nothing listens.
    static QUrl refusingBase();

private:
    void answer(class QTcpSocket* socket);

    QTcpServer server_;
    QHash<QString, Response> responses_;
    QList<Request> requests_;
};

}  // namespace kadrano::test

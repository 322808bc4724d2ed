#pragma once
// A tiny HTTP server on 127.0.0.1 for the network tests, served by the test's own event loop.

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace zubira::testing {

class LocalHttpServer : public QObject {
 public:
  enum class Mode { Ok, Empty, NotFound, Silent };

  explicit LocalHttpServer(Mode mode) : mode_(mode) {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        s->setParent(this);
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { answer(s); });
      }
    });
  }

  QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server_.serverPort())); }
  QStringList paths() const { return paths_; }

  // An address on which nothing listens: a port that was free a moment ago.
  static QUrl refusedBase() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
  }

 private:
  void answer(QTcpSocket* s) {
    QByteArray request = s->readAll();
    QList<QByteArray> first = request.split('\n').value(0).split(' ');
    paths_ << QString::fromLatin1(first.value(1));
    QByteArray body = "probe ok\n";
    switch (mode_) {
      case Mode::Silent: return;
      case Mode::Ok:
        s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        break;
      case Mode::Empty:
        s->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        break;
      case Mode::NotFound:
        s->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        break;
    }
    s->flush();
    s->disconnectFromHost();
  }

  Mode mode_;
  QTcpServer server_;
  QStringList paths_;
};

}  // namespace zubira::testing

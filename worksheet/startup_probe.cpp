#include "worksheet/startup_probe.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace zubira {

ProbeResult runStartupProbe(const QUrl& url, int timeoutMs) {
  QNetworkAccessManager manager;
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setTransferTimeout(timeoutMs);
  QNetworkReply* reply = manager.get(request);

  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  // The transfer time-out covers stalls between bytes; this covers the whole request.
  QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
  deadline.start(timeoutMs);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);

  ProbeResult result;
  result.reachable = reply->error() == QNetworkReply::NoError;
  if (!result.reachable) result.error = reply->errorString();
  delete reply;
  return result;
}

}  // namespace zubira

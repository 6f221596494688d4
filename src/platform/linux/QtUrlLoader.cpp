#include "platform/linux/QtUrlLoader.h"

#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace vantlo {
namespace {

bool isWebScheme(const QUrl& url) {
    QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

std::string mimeTypeOf(QNetworkReply* reply) {
    QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    return type.section(QLatin1Char(';'), 0, 0).trimmed().toLower().toStdString();
}

// Answers once: the first of finish, failure or abort wins.
void answer(const std::shared_ptr<UrlLoader::Completion>& completion,
            std::optional<UrlResponse> response, std::string error) {
    if (!*completion)
        return;
    auto call = std::move(*completion);
    *completion = nullptr;
    call(std::move(response), std::move(error));
}

}  // namespace

QtUrlLoader::QtUrlLoader() : context_(new QObject) {}

QtUrlLoader::~QtUrlLoader() {
    // Replies still under way are children of the manager: deleting it aborts them, and their
    // completions are not called any more.
    delete context_;
}

void QtUrlLoader::load(const std::string& url, double timeoutSeconds, Completion completion) {
    QPointer<QObject> context = context_;
    QMetaObject::invokeMethod(
        context_,
        [this, context, url, timeoutSeconds, completion = std::move(completion)]() mutable {
            if (context)
                start(url, timeoutSeconds, std::move(completion));
        },
        Qt::QueuedConnection);
}

void QtUrlLoader::start(const std::string& url, double timeoutSeconds, Completion completion) {
    auto shared = std::make_shared<Completion>(std::move(completion));
    QUrl address(QString::fromStdString(url), QUrl::StrictMode);
    if (!address.isValid() || !isWebScheme(address) || address.host().isEmpty())
        return answer(shared, std::nullopt, "only http and https addresses are loaded");
    double seconds = timeoutSeconds > 0 && std::isfinite(timeoutSeconds)
                         ? std::min(timeoutSeconds, kMaxTimeoutSeconds)
                         : kMaxTimeoutSeconds;
    QNetworkRequest request(address);
    request.setTransferTimeout(static_cast<int>(std::ceil(seconds * 1000)));
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // Made at the first load: a program that never loads (a command-line tool without a Qt
    // application) never builds the network stack.
    if (!manager_) {
        manager_ = new QNetworkAccessManager(context_);
        manager_->setRedirectPolicy(QNetworkRequest::UserVerifiedRedirectPolicy);
    }
    watch(manager_->get(request), shared);
}

void QtUrlLoader::watch(QNetworkReply* reply, std::shared_ptr<Completion> completion) {
    auto fail = [reply, completion](const std::string& error) {
        answer(completion, std::nullopt, error);
        reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply, fail](const QUrl& to) {
        if (isWebScheme(to))
            Q_EMIT reply->redirectAllowed();
        else
            fail("redirect to a scheme other than http(s) refused");
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, fail] {
        bool known = false;
        qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > kMaxBodyBytes)
            fail("body larger than 1 MB");
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [fail](qint64 received, qint64) {
                         if (received > kMaxBodyBytes)
                             fail("body larger than 1 MB");
                     });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, completion] {
        reply->deleteLater();
        // An HTTP error status is still a response (its body may be usable); connection,
        // time-out and protocol failures are not.
        QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid())
            return answer(completion, std::nullopt, reply->errorString().toStdString());
        // A redirect still standing here was not followed (to another scheme, or too many).
        if (status.toInt() >= 300 && status.toInt() < 400)
            return answer(completion, std::nullopt, "redirect refused");
        UrlResponse response;
        response.statusCode = status.toInt();
        response.mimeType = mimeTypeOf(reply);
        QByteArray body = reply->readAll();
        if (body.size() > kMaxBodyBytes)
            return answer(completion, std::nullopt, "body larger than 1 MB");
        response.body.bytes.assign(body.begin(), body.end());
        answer(completion, std::move(response), {});
    });
}

}  // namespace vantlo

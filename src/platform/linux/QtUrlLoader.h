#pragma once
// Address loading on Linux through Qt Network: http and https only, a bounded time, a bounded
// body and redirects that stay on http(s). Requests are handed to a network manager living on
// the thread that created the loader (the main thread, which runs the Qt event loop); `load`
// itself may be called from any thread.

#include <QObject>
#include <QPointer>
#include <memory>

#include "platform/UrlLoader.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace vantlo {

class QtUrlLoader : public UrlLoader {
  public:
    static constexpr double kMaxTimeoutSeconds = 10.0;
    static constexpr qint64 kMaxBodyBytes = 1 << 20;
    static constexpr int kMaxRedirects = 5;

    QtUrlLoader();
    ~QtUrlLoader() override;
    QtUrlLoader(const QtUrlLoader&) = delete;
    QtUrlLoader& operator=(const QtUrlLoader&) = delete;

    // Answers with an error, never a response, for another scheme, a body over kMaxBodyBytes, a
    // redirect to another scheme, or no answer within `timeoutSeconds` (at most 10 s).
    void load(const std::string& url, double timeoutSeconds, Completion completion) override;

  private:
    void start(const std::string& url, double timeoutSeconds, Completion completion);
    static void watch(QNetworkReply* reply, std::shared_ptr<Completion> completion);

    QObject* context_;  // lives on the creating thread; requests start there
    QNetworkAccessManager* manager_ = nullptr;  // a child of context_, made at the first load
};

}  // namespace vantlo

#include "platform/linux/QtUrlLoader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <map>
#include <thread>

namespace vantlo {
namespace {

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "vantlo_tests_desktop_browser";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

// A small HTTP server on the loopback address: each path answers with a fixed raw response, or
// never answers when it has none.
class LocalHttpServer {
  public:
    explicit LocalHttpServer(std::map<QByteArray, QByteArray> responses)
        : responses_(std::move(responses)) {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (auto* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    QByteArray request = socket->readAll();
                    QByteArray path = request.split(' ').value(1);
                    requests_.push_back(path);
                    auto it = responses_.find(path);
                    if (it == responses_.end())
                        return;  // hangs
                    socket->write(it->second);
                    socket->disconnectFromHost();
                });
            }
        });
        server_.listen(QHostAddress::LocalHost);
    }

    std::string url(const char* path) const {
        return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + path;
    }
    const std::vector<QByteArray>& requests() const { return requests_; }

  private:
    QTcpServer server_;
    std::map<QByteArray, QByteArray> responses_;
    std::vector<QByteArray> requests_;
};

QByteArray httpResponse(const QByteArray& status, const QByteArray& type, const QByteArray& body,
                        const QByteArray& extraHeaders = {}) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" +
           extraHeaders + "\r\n" + body;
}

struct Outcome {
    bool answered = false;
    std::optional<UrlResponse> response;
    std::string error;
};

// Loads `url` and runs the event loop until the loader answers (or 15 s pass, which fails).
Outcome load(QtUrlLoader& loader, const std::string& url, double timeout = 10) {
    Outcome outcome;
    QEventLoop loop;
    loader.load(url, timeout, [&](std::optional<UrlResponse> response, std::string error) {
        outcome.answered = true;
        outcome.response = std::move(response);
        outcome.error = std::move(error);
        loop.quit();
    });
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    return outcome;
}

class QtUrlLoaderTest : public ::testing::Test {
  protected:
    // First, so the server and the loader find the application object.
    QCoreApplication& app = application();
    LocalHttpServer server{{
        {"/icon.png", httpResponse("200 OK", "image/png; charset=binary", "\x89PNG-bytes")},
        {"/missing", httpResponse("404 Not Found", "text/html", "<html>no</html>")},
        {"/big", httpResponse("200 OK", "image/png", QByteArray(2 * 1024 * 1024, 'x'))},
        {"/unannounced-big",
         "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(2 * 1024 * 1024, 'y')},
        {"/to-icon", httpResponse("302 Found", "text/plain", "", "Location: /icon.png\r\n")},
        {"/to-file",
         httpResponse("302 Found", "text/plain", "", "Location: file:///etc/passwd\r\n")},
    }};
    QtUrlLoader loader;
};

TEST_F(QtUrlLoaderTest, LoadsBodiesWithTheirStatusAndType) {
    auto icon = load(loader, server.url("/icon.png"));
    ASSERT_TRUE(icon.response) << icon.error;
    EXPECT_EQ(icon.response->statusCode, 200);
    EXPECT_EQ(icon.response->mimeType, "image/png");
    EXPECT_EQ(std::string(icon.response->body.bytes.begin(), icon.response->body.bytes.end()),
              "\x89PNG-bytes");

    auto missing = load(loader, server.url("/missing"));
    ASSERT_TRUE(missing.response) << "an error page is still a response";
    EXPECT_EQ(missing.response->statusCode, 404);

    auto redirected = load(loader, server.url("/to-icon"));
    ASSERT_TRUE(redirected.response) << redirected.error;
    EXPECT_EQ(redirected.response->statusCode, 200);
}

TEST_F(QtUrlLoaderTest, RefusesOtherSchemesLargeBodiesAndRedirectsAway) {
    for (const char* address :
         {"file:///etc/hostname", "ftp://127.0.0.1/x", "data:,x", "nonsense"}) {
        auto outcome = load(loader, address);
        EXPECT_TRUE(outcome.answered) << address;
        EXPECT_FALSE(outcome.response) << address;
    }
    for (const char* path : {"/big", "/unannounced-big", "/to-file"}) {
        auto outcome = load(loader, server.url(path));
        EXPECT_TRUE(outcome.answered) << path;
        EXPECT_FALSE(outcome.response) << path;
        EXPECT_FALSE(outcome.error.empty()) << path;
    }
}

TEST_F(QtUrlLoaderTest, AServerThatNeverAnswersTimesOut) {
    QElapsedTimer elapsed;
    elapsed.start();
    auto outcome = load(loader, server.url("/hangs"), 0.3);
    EXPECT_TRUE(outcome.answered);
    EXPECT_FALSE(outcome.response);
    EXPECT_LT(elapsed.elapsed(), 10000) << "bounded by the caller's time-out";
}

TEST_F(QtUrlLoaderTest, LoadsMayBeStartedFromAnyThread) {
    Outcome outcome;
    QEventLoop loop;
    std::thread caller([&] {
        loader.load(server.url("/icon.png"), 10, [&](std::optional<UrlResponse> r, std::string) {
            outcome.answered = true;
            outcome.response = std::move(r);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    });
    caller.join();
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(outcome.response);
}

}  // namespace
}  // namespace vantlo

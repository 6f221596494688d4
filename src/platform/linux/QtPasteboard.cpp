#include "platform/linux/QtPasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QThread>

namespace vantlo {
namespace {

QClipboard* clipboard() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr || QThread::currentThread() != app->thread())
        return nullptr;
    return QGuiApplication::clipboard();
}

}  // namespace

bool QtPasteboard::setString(const std::string& text) {
    QClipboard* board = clipboard();
    if (board == nullptr)
        return false;
    board->setText(QString::fromStdString(text));
    return true;
}

std::optional<std::string> QtPasteboard::string() {
    QClipboard* board = clipboard();
    if (board == nullptr)
        return std::nullopt;
    return board->text().toStdString();
}

}  // namespace vantlo

#include "platform/linux/MprisPlayer.h"

#include <algorithm>

#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>

namespace vantlo {
namespace {

constexpr const char* kMprisPrefix = "org.mpris.MediaPlayer2.";
constexpr double kLongestBusCall = 1.0;

int timeoutMs(const ScriptDeadline& deadline) {
    return std::max(
        1, static_cast<int>(std::min(kLongestBusCall, deadline.remainingSeconds()) * 1000.0));
}

}  // namespace

bool MprisPlayer::ownsBusName(const std::string& busName, const std::string& busSuffix) {
    std::string exact = kMprisPrefix + busSuffix;
    return busName == exact || busName.starts_with(exact + ".");
}

DictionaryReply MprisPlayer::pause(const ScriptDeadline& deadline) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return DictionaryReply::failed("no session bus");
    QDBusMessage list = QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "ListNames");
    QDBusMessage names = bus.call(list, QDBus::Block, timeoutMs(deadline));
    if (names.type() != QDBusMessage::ReplyMessage || names.arguments().isEmpty())
        return DictionaryReply::failed("the session bus did not list its names");
    bool paused = false;
    for (const QString& name : names.arguments().first().toStringList()) {
        if (deadline.hasPassed())
            return DictionaryReply::timedOut();
        if (!ownsBusName(name.toStdString(), busSuffix_))
            continue;
        QDBusMessage call = QDBusMessage::createMethodCall(
            name, "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Player", "Pause");
        QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs(deadline));
        paused = paused || reply.type() == QDBusMessage::ReplyMessage;
    }
    return paused ? DictionaryReply::ok() : DictionaryReply::failed(busSuffix_ + " is not playing");
}

DictionaryReply MprisPlayer::perform(std::string_view command, const RuntimeValue&,
                                     const ScriptDeadline& deadline) {
    if (command == "pause")
        return pause(deadline);
    return DictionaryReply::failed(busSuffix_ + " doesn't understand " + std::string(command));
}

DictionaryReply MprisPlayer::resolve(const ObjectSpecifier& object, const ScriptDeadline&) {
    return DictionaryReply::failed("can't get " + object.describe());
}

DictionaryReply MprisPlayer::countElements(const ObjectSpecifier&, std::string_view elementClass,
                                           const ScriptDeadline&) {
    return DictionaryReply::failed("can't count " + std::string(elementClass));
}

DictionaryReply MprisPlayer::getProperty(const ObjectSpecifier& object, std::string_view property,
                                         const ScriptDeadline&) {
    if (object.path.empty() && property == "name")
        return DictionaryReply::ok(busSuffix_);
    return DictionaryReply::failed("can't get " + std::string(property));
}

DictionaryReply MprisPlayer::setProperty(const ObjectSpecifier&, std::string_view property,
                                         const RuntimeValue&, const ScriptDeadline&) {
    return DictionaryReply::failed("can't set " + std::string(property));
}

}  // namespace vantlo

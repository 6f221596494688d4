#pragma once
// A media player reached through MPRIS on the session bus, as the script interpreter's scriptable
// application: it understands "pause" (org.mpris.MediaPlayer2.Player.Pause) and its "name", and
// nothing else. The player is named by the last part of its bus name ("vlc" for
// org.mpris.MediaPlayer2.vlc); every instance on the bus ("...vlc.instance4242") is paused. Each
// bus call waits at most a second and never past the script's deadline, so a player that hangs
// cannot hold up what follows the pause (a forced quit). Safe to call from any thread.

#include <string>

#include "scripting/ScriptableApplication.h"

namespace vantlo {

class MprisPlayer : public ScriptableApplication {
  public:
    explicit MprisPlayer(std::string busSuffix) : busSuffix_(std::move(busSuffix)) {}

    // Whether a bus name belongs to the player with this suffix.
    static bool ownsBusName(const std::string& busName, const std::string& busSuffix);

    DictionaryReply resolve(const ObjectSpecifier& object, const ScriptDeadline& deadline) override;
    DictionaryReply countElements(const ObjectSpecifier& container, std::string_view elementClass,
                                  const ScriptDeadline& deadline) override;
    DictionaryReply getProperty(const ObjectSpecifier& object, std::string_view property,
                                const ScriptDeadline& deadline) override;
    DictionaryReply setProperty(const ObjectSpecifier& object, std::string_view property,
                                const RuntimeValue& value, const ScriptDeadline& deadline) override;
    DictionaryReply perform(std::string_view command, const RuntimeValue& directParameter,
                            const ScriptDeadline& deadline) override;

  private:
    DictionaryReply pause(const ScriptDeadline& deadline);

    std::string busSuffix_;
};

}  // namespace vantlo

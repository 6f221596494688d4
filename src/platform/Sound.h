#pragma once
// Stands in for the system alert sound.

namespace vantlo {

class Sound {
  public:
    virtual ~Sound() = default;
    // Plays the alert sound; silently does nothing where there is none.
    virtual void beep() = 0;
};

}  // namespace vantlo

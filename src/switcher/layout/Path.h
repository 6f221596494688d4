#pragma once
// A vector outline as a list of drawing commands, so shapes can be computed and tested without a
// drawing toolkit and handed to one to paint.

#include <vector>

#include "platform/Geometry.h"

namespace vantlo {

struct PathCommand {
    enum class Verb { moveTo, lineTo, quadTo, curveTo, close };
    Verb verb = Verb::moveTo;
    // moveTo/lineTo: `to`; quadTo: `control1`, `to`; curveTo: `control1`, `control2`, `to`.
    Point to;
    Point control1;
    Point control2;
    bool operator==(const PathCommand&) const = default;
};

class Path {
  public:
    void moveTo(Point p) { commands_.push_back({PathCommand::Verb::moveTo, p, {}, {}}); }
    void lineTo(Point p) { commands_.push_back({PathCommand::Verb::lineTo, p, {}, {}}); }
    void quadTo(Point control, Point p) {
        commands_.push_back({PathCommand::Verb::quadTo, p, control, {}});
    }
    void curveTo(Point control1, Point control2, Point p) {
        commands_.push_back({PathCommand::Verb::curveTo, p, control1, control2});
    }
    void close() { commands_.push_back({PathCommand::Verb::close, {}, {}, {}}); }

    const std::vector<PathCommand>& commands() const { return commands_; }
    bool isClosed() const {
        return !commands_.empty() && commands_.back().verb == PathCommand::Verb::close;
    }

  private:
    std::vector<PathCommand> commands_;
};

}  // namespace vantlo

#pragma once
// A row of joined buttons of which exactly one is selected (the font size, the panel width).

#include <QWidget>
#include <functional>

class QButtonGroup;

namespace vantlo {

class SegmentedPicker : public QWidget {
  public:
    // `onPick` receives the index of the segment the user picked.
    SegmentedPicker(const QStringList& titles, int selected, int width,
                    std::function<void(int)> onPick, QWidget* parent = nullptr);

  private:
    QButtonGroup* group_;
};

}  // namespace vantlo

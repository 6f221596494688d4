#pragma once
// An on/off switch drawn as a pill with a knob; toggled by a click or the space bar.

#include <QAbstractButton>

namespace vantlo {

class ToggleSwitch : public QAbstractButton {
  public:
    explicit ToggleSwitch(bool on, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {38, 22}; }

  protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace vantlo

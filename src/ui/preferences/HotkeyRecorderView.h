#pragma once
// The key recorder control: shows a binding, is armed by a click, and records the next key
// combination the recording rules accept (preferences/HotkeyRecorder.h). While armed it holds
// the whole keyboard through the window system, so the desktop's own shortcuts (and Vantlo's
// activation hot key) do not fire instead of being recorded. A key that another program holds
// with a grab of its own never arrives; `onArmed` reports whether the keyboard could be taken,
// so the pane can explain.

#include <QWidget>
#include <functional>

#include "preferences/HotkeyRecorder.h"

namespace vantlo {

class HotkeyRecorderView : public QWidget {
  public:
    // `onArmed(armed, keyboardTaken)` runs when the recorder is armed or disarmed.
    using Armed = std::function<void(bool armed, bool keyboardTaken)>;

    HotkeyRecorderView(HotkeyConfig config, bool allowPlainSpecialKeys,
                       HotkeyRecorder::Capture onCapture, QSize size, QWidget* parent = nullptr);
    ~HotkeyRecorderView() override;

    void setConfig(const HotkeyConfig& config);
    void setOnArmed(Armed onArmed) { onArmed_ = std::move(onArmed); }
    bool isRecording() const { return recorder_.isRecording(); }

  protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void arm();
    void disarm();
    void handleKey(const QKeyEvent& event);
    bool takeKeyboard();
    void releaseKeyboard();

    HotkeyRecorder recorder_;
    Armed onArmed_;
    bool holdsKeyboard_ = false;
};

}  // namespace vantlo

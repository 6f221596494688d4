#pragma once
// The switcher's search text field: a borderless line edit on the painted search row that keeps
// track of input-method composition, so the panel's key handling leaves composing keys alone.

#include <QLineEdit>

namespace vantlo {

class SearchField : public QLineEdit {
  public:
    explicit SearchField(QWidget* parent = nullptr);

    // True while an input method holds uncommitted (marked) text.
    bool hasMarkedText() const { return hasMarkedText_; }
    void setTextSize(double pixelSize);

  protected:
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    bool hasMarkedText_ = false;
};

}  // namespace vantlo

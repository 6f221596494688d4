#include "ui/preferences/PermissionRow.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>

#include "ui/common/Symbols.h"
#include "ui/preferences/PrefStyle.h"

namespace vantlo {
namespace {

class StatusSymbol : public QWidget {
  public:
    explicit StatusSymbol(PermissionState state) : state_(state) { setFixedSize(18, 18); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const char* name = "info.circle.fill";
        QColor color = PrefStyle::secondary();
        if (state_ == PermissionState::ready) {
            name = "checkmark.circle.fill";
            color = QColor::fromRgbF(0.3f, 0.86f, 0.48f);
        } else if (state_ == PermissionState::needsAction) {
            name = "exclamationmark.triangle.fill";
            color = QColor::fromRgbF(1.0f, 0.68f, 0.26f);
        }
        Symbols::draw(painter, name, QRectF(1.5, 1.5, 15, 15), color, SymbolWeight::semibold);
    }

  private:
    PermissionState state_;
};

}  // namespace

PermissionRow::PermissionRow(const PermissionRowContent& content,
                             std::function<void()> primaryAction,
                             std::optional<QString> secondaryTitle,
                             std::function<void()> secondaryAction, QWidget* parent)
    : SettingsRow(QString::fromStdString(content.title), QString::fromStdString(content.detail),
                  parent) {
    row()->insertWidget(0, new StatusSymbol(content.state), 0, Qt::AlignTop);
    if (secondaryTitle && secondaryAction) {
        auto* secondary = new QPushButton(*secondaryTitle);
        QObject::connect(secondary, &QPushButton::clicked, secondary,
                         [action = std::move(secondaryAction)] { action(); });
        addControl(secondary);
    }
    auto* primary = new QPushButton(QString::fromStdString(content.primaryTitle));
    QObject::connect(primary, &QPushButton::clicked, primary, [action = std::move(primaryAction)] {
        if (action)
            action();
    });
    addControl(primary);
}

}  // namespace vantlo

#include "ui/preferences/SegmentedPicker.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

#include "ui/preferences/PrefStyle.h"

namespace vantlo {

SegmentedPicker::SegmentedPicker(const QStringList& titles, int selected, int width,
                                 std::function<void(int)> onPick, QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)) {
    setFixedWidth(width);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QString accent = PrefStyle::css(PrefStyle::accent());
    for (int i = 0; i < titles.size(); ++i) {
        auto* segment = new QPushButton(titles[i]);
        segment->setCheckable(true);
        segment->setChecked(i == selected);
        QString corners = i == 0 ? "border-top-right-radius: 0; border-bottom-right-radius: 0;"
                          : i == titles.size() - 1
                              ? "border-top-left-radius: 0; border-bottom-left-radius: 0;"
                              : "border-radius: 0;";
        segment->setStyleSheet("QPushButton { padding: 3px 4px; " + corners +
                               " } QPushButton:checked { background: " + accent + "; }");
        group_->addButton(segment, i);
        layout->addWidget(segment, 1);
    }
    group_->setExclusive(true);
    QObject::connect(group_, &QButtonGroup::idClicked, this,
                     [onPick = std::move(onPick)](int id) { onPick(id); });
}

}  // namespace vantlo

#include "ui/preferences/AppPickerDialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/Localization.h"
#include "ui/common/IconProvider.h"
#include "ui/preferences/PrefStyle.h"

namespace vantlo {

AppPickerDialog::AppPickerDialog(std::vector<AppItem> apps, QWidget* parent)
    : QDialog(parent), apps_(std::move(apps)) {
    setWindowTitle(qt(localized("Choose an App to Ignore")));
    setModal(true);
    resize(420, 460);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, PrefStyle::sidebar());
    setPalette(palette);
    setAutoFillBackground(true);
    setStyleSheet(PrefStyle::styleSheet());

    auto* layout = new QVBoxLayout(this);
    search_ = new QLineEdit;
    search_->setPlaceholderText(qt(localized("Filter by name")));
    layout->addWidget(search_);
    list_ = new QListWidget;
    list_->setIconSize({24, 24});
    list_->setFont(PrefStyle::font(13));
    layout->addWidget(list_, 1);
    auto* buttons = new QDialogButtonBox;
    auto* add = buttons->addButton(qt(localized("Add")), QDialogButtonBox::AcceptRole);
    buttons->addButton(qt(localized("Cancel")), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    for (const AppItem& app : apps_) {
        auto* item = new QListWidgetItem(qt(app.name), list_);
        item->setData(Qt::UserRole, qt(app.bundleID));
        item->setToolTip(qt(app.bundleID));
    }
    // Icons are read in the background; each one is set once it has arrived.
    imagesArrived_ = IconProvider::shared().whenImagesArrive([this] { showIcons(); });
    showIcons();
    add->setEnabled(false);
    QObject::connect(list_, &QListWidget::currentItemChanged, this,
                     [add](QListWidgetItem* current) { add->setEnabled(current != nullptr); });
    QObject::connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QObject::connect(search_, &QLineEdit::textChanged, this,
                     [this](const QString& text) { filter(text); });
}

void AppPickerDialog::showIcons() {
    for (int i = 0; i < list_->count() && i < static_cast<int>(apps_.size()); ++i) {
        QListWidgetItem* item = list_->item(i);
        if (!item->icon().isNull())
            continue;
        QPixmap icon = IconProvider::shared().pixmap(apps_[i].icon, 24, devicePixelRatioF());
        if (!icon.isNull())
            item->setIcon(QIcon(icon));
    }
}

void AppPickerDialog::filter(const QString& text) {
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        bool shown = text.isEmpty() || item->text().contains(text, Qt::CaseInsensitive) ||
                     item->data(Qt::UserRole).toString().contains(text, Qt::CaseInsensitive);
        item->setHidden(!shown);
    }
}

std::optional<std::string> AppPickerDialog::choose(std::vector<AppItem> apps, QWidget* parent) {
    AppPickerDialog dialog(std::move(apps), parent);
    if (dialog.exec() != QDialog::Accepted || dialog.list_->currentItem() == nullptr)
        return std::nullopt;
    std::string id = dialog.list_->currentItem()->data(Qt::UserRole).toString().toStdString();
    if (id.empty())
        return std::nullopt;
    return id;
}

}  // namespace vantlo

#include "ui/preferences/ExceptionsPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "discovery/AppRegistry.h"
#include "settings/Localization.h"
#include "ui/common/Symbols.h"
#include "ui/preferences/AppPickerDialog.h"
#include "ui/preferences/PrefStyle.h"
#include "ui/preferences/SettingsSection.h"

namespace vantlo {
namespace {

QLabel* note(const QString& text, const QColor& color, double points) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setFont(PrefStyle::font(points));
    label->setStyleSheet("color: " + PrefStyle::css(color));
    return label;
}

class RemoveButton : public QPushButton {
  public:
    RemoveButton() {
        setFixedSize(18, 18);
        setCursor(Qt::PointingHandCursor);
        setProperty("plain", true);
        setToolTip(qt(localized("Remove")));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QColor color = underMouse() ? PrefStyle::primary() : PrefStyle::secondary();
        Symbols::draw(painter, "xmark.circle.fill", QRectF(2, 2, 14, 14), color);
    }
};

// One entry with its remove button, on a faint rounded plate.
class RemovablePatternRow : public QWidget {
  public:
    RemovablePatternRow(const QString& text, std::function<void()> remove) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(8, 4, 8, 4);
        auto* label = new QLabel(text);
        label->setFont(PrefStyle::monospaced(12));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label, 1);
        auto* button = new RemoveButton;
        QObject::connect(button, &QPushButton::clicked, this,
                         [remove = std::move(remove)] { remove(); });
        layout->addWidget(button);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.1f));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0, 2, 0, -2), 5, 5);
    }
};

}  // namespace

ExceptionsPane::ExceptionsPane(QWidget* parent)
    : SettingsDetail(parent), rendering_(this, [this] { render(); }) {
    model_ = std::make_unique<ExceptionsPaneModel>(rendering_.scheduler());
    render();
}

void ExceptionsPane::render() {
    clear();
    setTitle(qt(localized("Exceptions")));
    add(ignoredAppsSection());
    add(regexSection(qt(localized("Ignored apps (regex)")), "^.*Helper.*$", List::appNames));
    add(regexSection(qt(localized("Ignored windows (regex)")), "^Untitled.*", List::windowTitles));
}

QWidget* ExceptionsPane::ignoredAppsSection() {
    auto* section = new SettingsSection(qt(localized("Ignored apps")));
    section->add(note(qt(localized("These apps are completely hidden from Vantlo.")),
                      PrefStyle::secondary(), 11));
    const auto& ids = model_->ignoredBundleIDs();
    if (ids.empty())
        section->add(note(qt(localized("None")), PrefStyle::tertiary(), 12));
    for (const std::string& id : ids)
        section->add(new RemovablePatternRow(qt(id), [this, id] { model_->removeBundleID(id); }));
    auto* add = new QPushButton(qt(localized("Add app…")));
    QObject::connect(add, &QPushButton::clicked, this, [this] { addAppViaPanel(); });
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 6, 0, 4);
    line->addWidget(add);
    line->addStretch(1);
    section->addLayout(line);
    return section;
}

QWidget* ExceptionsPane::regexSection(const QString& title, const QString& placeholder, List list) {
    auto* section = new SettingsSection(title);
    const auto& items = model_->patterns(list);
    if (items.empty())
        section->add(note(qt(localized("None")), PrefStyle::tertiary(), 12));
    for (const std::string& pattern : items) {
        section->add(new RemovablePatternRow(
            qt(pattern), [this, list, pattern] { model_->removePattern(list, pattern); }));
    }
    auto* field = new QLineEdit(qt(model_->pending(list)));
    field->setPlaceholderText(placeholder);
    field->setAccessibleName(title);
    auto* add = new QPushButton(qt(localized("Add")));
    add->setProperty("small", true);
    add->setEnabled(model_->canAdd(list));
    QObject::connect(field, &QLineEdit::textChanged, this, [this, list, add](const QString& text) {
        model_->setPending(list, text.toStdString());
        add->setEnabled(model_->canAdd(list));
    });
    auto submit = [this, list] {
        focusedField_ = list;
        model_->add(list);
    };
    QObject::connect(add, &QPushButton::clicked, this, submit);
    QObject::connect(field, &QLineEdit::returnPressed, this, submit);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 6, 0, 4);
    line->addWidget(field, 1);
    line->addWidget(add);
    section->addLayout(line);
    if (const auto& problem = model_->problem(list))
        section->add(note(qt(*problem), QColor::fromRgbF(1.0f, 0.55f, 0.45f), 11));
    if (focusedField_ == list) {
        focusedField_.reset();
        QMetaObject::invokeMethod(
            field, [field] { field->setFocus(); }, Qt::QueuedConnection);
    }
    return section;
}

void ExceptionsPane::addAppViaPanel() {
    if (auto id = AppPickerDialog::choose(AppRegistry::shared().apps(), this))
        model_->addBundleID(*id);
}

}  // namespace vantlo

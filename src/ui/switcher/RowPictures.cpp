#include "ui/switcher/RowPictures.h"

#include <QPointer>

#include "ui/common/IconProvider.h"

namespace vantlo {
namespace {

constexpr int kPageIconSide = 32;

}  // namespace

RowPictures::RowPictures(std::shared_ptr<RowImageSource> source, std::function<void()> onArrival,
                         QObject* parent)
    : QObject(parent), source_(std::move(source)), onArrival_(std::move(onArrival)) {}

QPixmap RowPictures::pageIcon(const std::string& address, qreal devicePixelRatio) {
    if (address.empty())
        return {};
    if (auto found = pageIcons_.find(address); found != pageIcons_.end())
        return found->second;
    if (source_ && requestedIcons_.insert(address).second) {
        // A cached icon arrives before `pageIcon` returns; the view is then painted with it.
        source_->pageIcon(address, [self = QPointer<RowPictures>(this), address,
                                    devicePixelRatio](ImageRef image) {
            if (!self)
                return;
            QPixmap pixmap = IconProvider::shared().pixmap(image, kPageIconSide, devicePixelRatio);
            if (pixmap.isNull())
                self->missingIcons_.insert(address);
            else
                self->pageIcons_[address] = pixmap;
            if (self->onArrival_)
                self->onArrival_();
        });
    }
    auto found = pageIcons_.find(address);
    return found != pageIcons_.end() ? found->second : QPixmap();
}

bool RowPictures::isPending(const std::string& address) const {
    return !address.empty() && requestedIcons_.count(address) && !pageIcons_.count(address) &&
           !missingIcons_.count(address);
}

QPixmap RowPictures::windowPicture(std::uint32_t windowNumber) {
    if (auto found = windowPictures_.find(windowNumber); found != windowPictures_.end())
        return found->second;
    if (source_ && requestedPictures_.insert(windowNumber).second) {
        source_->windowPicture(windowNumber,
                               [self = QPointer<RowPictures>(this), windowNumber](ImageRef image) {
                                   if (!self || !image || !image->hasPixels())
                                       return;
                                   self->windowPictures_[windowNumber] =
                                       QPixmap::fromImage(IconProvider::imageFromPixels(*image));
                                   if (self->onArrival_)
                                       self->onArrival_();
                               });
    }
    return {};
}

}  // namespace vantlo

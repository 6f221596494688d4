#pragma once
// The pictures one switcher view paints in its rows, as pixmaps: each page icon and window
// picture is asked of the row image source once, kept for the view's life, and announced through
// `onArrival` so the view repaints.

#include <QObject>
#include <QPixmap>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "switcher/RowImageSource.h"

namespace vantlo {

class RowPictures : public QObject {
  public:
    // Without a source every answer is empty and nothing is pending.
    RowPictures(std::shared_ptr<RowImageSource> source, std::function<void()> onArrival,
                QObject* parent = nullptr);

    // The page icon at 32 points for `devicePixelRatio` when it has arrived; asks for it
    // otherwise (a null pixmap until it arrives). Null for an empty address.
    QPixmap pageIcon(const std::string& address, qreal devicePixelRatio);
    // Whether the page icon was asked for and has neither arrived nor been found missing.
    bool isPending(const std::string& address) const;
    // The window's picture when it has arrived; asks for it otherwise.
    QPixmap windowPicture(std::uint32_t windowNumber);

  private:
    std::shared_ptr<RowImageSource> source_;
    std::function<void()> onArrival_;
    std::map<std::string, QPixmap> pageIcons_;
    std::set<std::string> requestedIcons_;
    std::set<std::string> missingIcons_;
    std::map<std::uint32_t, QPixmap> windowPictures_;
    std::set<std::uint32_t> requestedPictures_;
};

}  // namespace vantlo

#pragma once
// The content of the switcher panel: the wave-edged dark sheet with its header (the "Enter to
// search" pill, the search field, or a group's header), the list of rows with the selection rail,
// the empty states, the footer of key hints and, during the first-run guide, the guide card
// overlay. It paints a `SwitcherViewState` with the pictures of an injected row image source and
// reports clicks, hovers and typing through `Actions`. What lies under a point it answers from its
// `PanelHitMap`, which is also what a grab's pointer events are decided on.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "switcher/RowImageSource.h"
#include "switcher/animation/Easing.h"
#include "switcher/animation/Spring.h"
#include "switcher/layout/FooterHints.h"
#include "switcher/layout/GuideCard.h"
#include "switcher/layout/PanelHitMap.h"
#include "switcher/layout/ScrollKeeper.h"
#include "switcher/layout/SearchViewLayout.h"
#include "switcher/layout/SwitcherLayout.h"
#include "switcher/layout/SwitcherMetrics.h"
#include "switcher/layout/SwitcherViewState.h"
#include "ui/common/Shadows.h"

namespace vantlo {

class FrameTicker;
class GuideCardOverlay;
class RowPictures;
class SearchField;

class SearchView : public QWidget {
  public:
    struct Actions {
        std::function<void(const PanelHit&)> click;  // a left click on a part of the panel
        std::function<void(const PanelHit&)> hover;  // the pointer moved onto a part
        std::function<void(const std::string&)> setQuery;
        std::function<void()> pointerMoved;
        // Whether a row offers its close button.
        std::function<bool(const SwitchItem&)> isClosable;
    };

    // Without `images` rows show no page icons or window pictures.
    SearchView(bool hugsLeftEdge, double fontScale, std::shared_ptr<RowImageSource> images,
               QWidget* parent = nullptr);
    ~SearchView() override;

    void setActions(Actions actions) { actions_ = std::move(actions); }
    void setState(SwitcherViewState state);
    const SwitcherViewState& state() const { return state_; }
    void setFooterBindings(FooterBindings bindings);
    void setGuideCard(std::optional<GuideCardContent> card);
    void setAccessibilityTrusted(bool trusted);

    SearchField* searchField() const { return field_; }
    bool hasMarkedText() const;
    // Sends a typed character to the search field, opening it if needed.
    void typeIntoSearch(QKeyEvent* event);

    // Where the pointer targets are now (after scrolling), in the view's coordinates.
    PanelHitMap hitMap() const;
    // Shows the hover look of a part the pointer is over, when the pointer reaches the panel
    // through a grab instead of the view's own events.
    void showHover(const PanelHit& hit);
    // Scrolls the list by wheel notches, positive toward its end.
    void scrollByNotches(double notches);

    // The selected row's centre in panel coordinates, when a row is on screen.
    std::optional<double> selectedRowMidY() const;
    // Renders the view as it is now (for the test showing's screenshots).
    QImage snapshot(const QColor& backdrop);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Layout;
    struct RowSlot {
        int index = 0;
        QRectF rect;
    };
    // Eases the badge the pointer left out of its hover look and the one it reached in.
    void setHover(const PanelHit& hit);
    double badgeHover(const SwitchItem& item, double now) const;

    SearchViewLayout layoutNumbers() const;
    Layout layout() const;
    std::vector<RowSlot> visibleRows(const Layout& l) const;
    double rowTop(const Layout& l, int index) const;
    double contentHeight() const;
    IndexRange windowedRows(const Layout& l) const;
    double maxScroll(const Layout& l) const;
    void selectionChanged(int previous);
    void applyScroll(const ScrollRequest& request);
    void updateFieldGeometry();
    void syncField();
    void retargetWaves(double now);
    bool animate(double now);
    PanelHit hitTest(QPointF point) const;
    ScrollKeeper& keeperForMode();

    void paintBackground(QPainter& painter, double now);
    void paintHeader(QPainter& painter, const Layout& l, double now);
    void paintGroupHeader(QPainter& painter, const Layout& l);
    void paintList(QPainter& painter, const Layout& l, double now);
    void paintEmptyState(QPainter& painter, const QRectF& area);
    void paintFooter(QPainter& painter, const Layout& l);

    bool hugsLeftEdge_;
    SwitcherMetrics metrics_;
    SwitcherViewState state_;
    Actions actions_;
    FooterBindings bindings_;
    bool accessibilityTrusted_ = true;
    SearchField* field_ = nullptr;
    FrameTicker* ticker_ = nullptr;
    GuideCardOverlay* guideCard_ = nullptr;
    RowPictures* pictures_ = nullptr;

    double scrollY_ = 0;
    ScrollKeeper mainKeeper_, tabKeeper_, windowKeeper_;
    Spring waveY_;
    Spring railY_;
    Spring searchScale_{1.0};
    Spring floating_{0.0};
    double pulseReturnAt_ = -1;
    std::map<std::string, Spring> rowSelection_;
    // The count badges easing into or out of their hover look, by row.
    std::map<std::string, Transition> badgeHover_;
    bool waveMeasured_ = false;

    Shadows::Rendered backgroundShadow_;
    QRectF backgroundShadowKey_;

    // Repaints when icons read in the background arrive.
    std::shared_ptr<void> imagesArrived_;

    PanelHit hover_;
    QPointF lastPointer_{-1, -1};
};

}  // namespace vantlo

#pragma once
// The results graph on the results screen. Its geometry is computed in twips of the screen
// as it was first laid out (results_graph.h); the view shows the part of that plane the
// graph and its captions take, scaled to the room it gets with its proportions kept: at the
// screen's first size one twip is a fifteenth of a pixel, as always, and a larger window
// shows a larger graph. The background (the graph box with the figures' bands), the captions
// and the shapes follow the scale.

#include "common/overlay.h"
#include "common/run_info.h"
#include "picture/ui/drawing_surface.h"
#include "results/results_graph.h"

#include <map>
#include <vector>

class QLabel;

class ResultsGraphView : public DrawingSurface
{
    Q_OBJECT
public:
    // The part of the screen's twips plane the graph and its captions take.
    static constexpr GraphRect kShownTwips{6060, 0, 11640, 7200};

    explicit ResultsGraphView(QWidget* parent = nullptr);

    // The frame of the event with the buoy numbers for the direction, the bands behind it,
    // then the traces and marks over it: everything earlier is erased.
    void showGraph(Event event, bool comingToward, const std::vector<GraphRect>& bands,
                   const OverlayShapes& shapes);

    // The caption on or beside the graph.
    QLabel* caption(GraphCaption caption) const { return labels.at(caption); }
    // Pixels per pixel of the first layout: 1 at the first size, more in a larger window.
    double scale() const { return scale_; }
    // Where a point in twips lies on the view.
    QPointF toView(double xTwips, double yTwips) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The mapping for the view's size, and what depends on it drawn again.
    void fit();
    void paintBackground();
    void placeLabels();
    void drawShapes();

    std::map<GraphCaption, QLabel*> labels;
    double scale_ = 1.0;

    // What the view shows, to show again at another size.
    Event event = Event::Slalom;
    bool comingToward = true;
    std::vector<GraphRect> bands;
    OverlayShapes shapes;
};

#pragma once
// Paints the measurement screen's line objects over the drawing surface: a transparent
// child that lets the mouse through and repaints only where a line moved. The lines are in
// picture twips and go on screen through the surface's mapping; a screen keeps the two
// together with
//   connect(surface, &DrawingSurface::mappingChanged, overlay, &LineOverlay::setMapping);
//   overlay->setMapping(surface->mapping());

#include "course_display/picture_mapping.h"
#include "measure/line_record.h"

#include <QWidget>

class LineOverlay : public QWidget
{
public:
    explicit LineOverlay(QWidget* parent);

    void setLines(const MeasureLines& lines);
    const MeasureLines& lines() const { return current; }
    void setMapping(const PictureMapping& mapping);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect pixelBounds(const LineRecord& line) const;

    MeasureLines current;
    PictureMapping mapping;
    bool painted = false;
};

#include "measure/line_record.h"

MeasureLines initialMeasureLines()
{
    MeasureLines l;
    l.measureLine = LineRecord{3720, 720, 3720, 6360, kWhite, LineStyle::Solid, 1, true};
    l.measureLineColumn2 = LineRecord{3735, 720, 3735, 6360, kWhite, LineStyle::Solid, 1, true};
    l.boatMarker = LineRecord{3320, 6360, 4120, 6360, kWhite, LineStyle::Solid, 2, true};
    l.leftEdge = LineRecord{3420, 720, 3420, 6360, kWhite, LineStyle::Solid, 2, false};
    l.rightEdge = LineRecord{4020, 720, 4020, 6360, kWhite, LineStyle::Solid, 2, false};
    l.leftBoundary = LineRecord{3000, 720, 3000, 6360, kWhite, LineStyle::Solid, 1, false};
    l.rightBoundary = LineRecord{4440, 720, 4440, 6360, kWhite, LineStyle::Solid, 1, false};
    return l;
}

#include "measure/line_record.h"

MeasureLines initialMeasureLines()
{
    MeasureLines l;
    l.lnMeasure = LineRecord{3720, 720, 3720, 6360, kWhite, LineStyle::Solid, 1, true};
    l.lnMeasure1 = LineRecord{3735, 720, 3735, 6360, kWhite, LineStyle::Solid, 1, true};
    l.lnHorizPos = LineRecord{3320, 6360, 4120, 6360, kWhite, LineStyle::Solid, 2, true};
    l.left_edge = LineRecord{3420, 720, 3420, 6360, kWhite, LineStyle::Solid, 2, false};
    l.right_edge = LineRecord{4020, 720, 4020, 6360, kWhite, LineStyle::Solid, 2, false};
    l.lnLeft = LineRecord{3000, 720, 3000, 6360, kWhite, LineStyle::Solid, 1, false};
    l.lnRight = LineRecord{4440, 720, 4440, 6360, kWhite, LineStyle::Solid, 1, false};
    return l;
}

#include "app/PaneLayout.h"

#include "pane/TwipsGeometry.h"

namespace {

constexpr float marginTwips = 230;
constexpr float gapTwips = 100;

void overlay(TwipsGeometry &result, const TwipsGeometry &source)
{
    result.setHeightTwips(source.heightTwips());
    result.setWidthTwips(source.widthTwips());
    result.setTopTwips(source.topTwips());
    result.setLeftTwips(source.leftTwips());
}

} // namespace

void placePanes(float outerWidth, TwipsGeometry &source1, TwipsGeometry &source2,
                TwipsGeometry &result1, TwipsGeometry &result2)
{
    source1.setWidthTwips(float(double(outerWidth) / 2 - marginTwips));
    source2.setLeftTwips(
        float(double(source1.leftTwips()) + double(source1.widthTwips()) + gapTwips));
    source2.setWidthTwips(source1.widthTwips());
    overlay(result1, source1);
    overlay(result2, source2);
}

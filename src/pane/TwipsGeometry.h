#pragma once

// Placement of a control in twips (1/1440 inch), held at single precision so that values read
// back are exactly the values assigned, whatever whole pixels the toolkit ends up using.
// A setter returns false when it rejects the value; the placement is then unchanged.
class TwipsGeometry
{
public:
    virtual ~TwipsGeometry() = default;

    virtual float leftTwips() const = 0;
    virtual float topTwips() const = 0;
    virtual float widthTwips() const = 0;
    virtual float heightTwips() const = 0;

    virtual bool setLeftTwips(float value) = 0;
    virtual bool setTopTwips(float value) = 0;
    virtual bool setWidthTwips(float value) = 0;
    virtual bool setHeightTwips(float value) = 0;
};

#include "app/PaneLayout.h"
#include "pane/TwipsGeometry.h"

#include <QTest>
#include <cmath>

namespace {

// A placement that, like a pane, rejects negative extents and non-finite values, and can be
// told to reject one particular setter.
class Geometry : public TwipsGeometry
{
public:
    Geometry(float left, float top, float width, float height)
        : left_(left), top_(top), width_(width), height_(height)
    {}

    float leftTwips() const override { return left_; }
    float topTwips() const override { return top_; }
    float widthTwips() const override { return width_; }
    float heightTwips() const override { return height_; }
    bool setLeftTwips(float v) override { return assign(left_, v, "left", false); }
    bool setTopTwips(float v) override { return assign(top_, v, "top", false); }
    bool setWidthTwips(float v) override { return assign(width_, v, "width", true); }
    bool setHeightTwips(float v) override { return assign(height_, v, "height", true); }

    QString rejects;

private:
    bool assign(float &field, float value, const char *name, bool extent)
    {
        if (rejects == QLatin1String(name) || !std::isfinite(value) || (extent && value < 0))
            return false;
        field = value;
        return true;
    }

    float left_, top_, width_, height_;
};

struct Panes
{
    // The panes as the window creates them.
    Geometry source1{120, 360, 4335, 4335};
    Geometry source2{4550, 360, 4335, 4335};
    Geometry result1{120, 360, 4335, 1215};
    Geometry result2{4550, 360, 4335, 1215};

    void layout(float outerWidth) { layoutPanes(outerWidth, source1, source2, result1, result2); }
};

void compareGeometry(const TwipsGeometry &actual, const TwipsGeometry &expected)
{
    QCOMPARE(actual.leftTwips(), expected.leftTwips());
    QCOMPARE(actual.topTwips(), expected.topTwips());
    QCOMPARE(actual.widthTwips(), expected.widthTwips());
    QCOMPARE(actual.heightTwips(), expected.heightTwips());
}

} // namespace

class TestPaneLayout : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void invariantsHoldForAnyWidth_data();
    void invariantsHoldForAnyWidth();
    void rejectedStepIsSkipped();
    void rejectedCopyLeavesTheRestInPlace();
    void repeatedLayoutIsStable();
};

void TestPaneLayout::workedExample()
{
    Panes panes;
    panes.layout(9090);
    const Geometry left(120, 360, 4315, 4335);
    const Geometry right(4535, 360, 4315, 4335);
    compareGeometry(panes.source1, left);
    compareGeometry(panes.result1, left);
    compareGeometry(panes.source2, right);
    compareGeometry(panes.result2, right);
}

void TestPaneLayout::invariantsHoldForAnyWidth_data()
{
    QTest::addColumn<float>("outerWidth");
    for (float w : {9000.0f, 9090.0f, 9121.0f, 9135.5f, 12000.0f, 500.0f, 461.0f})
        QTest::newRow(qPrintable(QString::number(w))) << w;
}

void TestPaneLayout::invariantsHoldForAnyWidth()
{
    QFETCH(float, outerWidth);
    Panes panes;
    panes.layout(outerWidth);
    QCOMPARE(panes.source1.widthTwips(), float(double(outerWidth) / 2 - 230));
    QCOMPARE(panes.source2.leftTwips() - (panes.source1.leftTwips() + panes.source1.widthTwips()),
             100.0f);
    QCOMPARE(panes.source2.widthTwips(), panes.source1.widthTwips());
    compareGeometry(panes.result1, panes.source1);
    compareGeometry(panes.result2, panes.source2);
    QCOMPARE(panes.source1.heightTwips(), 4335.0f);
    QCOMPARE(panes.source1.leftTwips(), 120.0f);
}

void TestPaneLayout::rejectedStepIsSkipped()
{
    Panes panes;
    panes.layout(9090);
    // So narrow that the first width is negative: that step is skipped, the rest still copy
    // the current geometry.
    panes.layout(100);
    QCOMPARE(panes.source1.widthTwips(), 4315.0f);
    QCOMPARE(panes.source2.leftTwips(), 4535.0f);
    compareGeometry(panes.result1, panes.source1);
    compareGeometry(panes.result2, panes.source2);
}

void TestPaneLayout::rejectedCopyLeavesTheRestInPlace()
{
    Panes panes;
    panes.result1.rejects = QStringLiteral("height");
    panes.layout(9090);
    QCOMPARE(panes.result1.heightTwips(), 1215.0f);
    QCOMPARE(panes.result1.widthTwips(), 4315.0f);
    QCOMPARE(panes.result1.topTwips(), 360.0f);
    QCOMPARE(panes.result1.leftTwips(), 120.0f);
    compareGeometry(panes.result2, panes.source2);
}

void TestPaneLayout::repeatedLayoutIsStable()
{
    Panes panes;
    panes.layout(9090);
    panes.layout(0); // minimised: the first width is rejected
    panes.layout(9090);
    const Geometry right(4535, 360, 4315, 4335);
    compareGeometry(panes.source2, right);
    compareGeometry(panes.result2, right);
}

QTEST_GUILESS_MAIN(TestPaneLayout)
#include "tst_panelayout.moc"

// Window position records: parsing, clamping to the screen, saving the normal rectangle,
// and the round trip through "vexa.ini".

#include "vexa32/globals.h"
#include "vexa32/profile.h"
#include "vexa32/windowrecord.h"

#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Vexa32;

namespace {

// A window that behaves like the platform's: sizes below a minimum and negative positions
// are accepted or refused as configured, states other than 0..2 are refused.
class FakeWindow : public PositionedWindow
{
public:
    int state = 0;
    double l = 500, t = 400, w = 11580, h = 9930;
    double screenW = 19200, screenH = 14400;
    double minSize = 0;         // the platform raises smaller sizes to this
    bool refuseNegative = true; // a negative size throws
    bool refuseWidth = false;   // every width throws
    // While minimised or maximised the window reports this rectangle instead.
    bool hasOtherRect = false;
    double otherL = 0, otherT = 0, otherW = 19200, otherH = 13800;

    int windowState() const override { return state; }
    void setWindowState(int s) override
    {
        if (s < 0 || s > 2) {
            throw std::invalid_argument("state");
        }
        state = s;
    }
    bool showsOther() const { return hasOtherRect && state != 0; }
    double left() const override { return showsOther() ? otherL : l; }
    double top() const override { return showsOther() ? otherT : t; }
    double width() const override { return showsOther() ? otherW : w; }
    double height() const override { return showsOther() ? otherH : h; }
    void setLeft(double v) override { l = v; }
    void setTop(double v) override { t = v; }
    void setWidth(double v) override
    {
        if (refuseWidth) {
            throw std::runtime_error("width");
        }
        w = checkedSize(v);
    }
    void setHeight(double v) override { h = checkedSize(v); }
    double screenWidth() const override { return screenW; }
    double screenHeight() const override { return screenH; }

private:
    double checkedSize(double v) const
    {
        if (v < 0 && refuseNegative) {
            throw std::invalid_argument("size");
        }
        return v < minSize ? minSize : v;
    }
};

struct RestoreCase
{
    const char *record;
    double screenW, screenH;
    int state;
    double left, top, width, height;
};

} // namespace

TEST(WindowPosition, LeadingNumber)
{
    const std::pair<const char *, double> cases[] = {
        {"1920", 1920},
        {"-15", -15},
        {"+7", 7},
        {"12.5", 12.5},
        {".5", 0.5},
        {"1e3", 1000},
        {"1e", 1},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"3.", 3},
        {"-", 0},
        {"1,5", 1},
        {"2.5E-1x", 0.25},
        {" 4", 0},
        // Beyond the range of doubles: too small is zero, too large infinite.
        {"1e-400", 0},
        {"-1e-400", 0},
        {"0.0001e-330", 0},
        {"1e99999999999999999999", HUGE_VAL},
        {"1e400", HUGE_VAL},
        {"-1e400", -HUGE_VAL},
        {"0.01e-322", 0},
        {"1000e-330", 0},
        {"0.000000001e400", HUGE_VAL},
        {"1e-99999999999999999999", 0},
    };
    for (const auto &[text, expected] : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(text)), expected) << text;
    }
}

TEST(WindowPosition, RestoreClampsToTheScreen)
{
    const RestoreCase cases[] = {
        // A window that fits keeps its rectangle.
        {"0,1920,1200,11580,9930", 19200, 14400, 0, 1920, 1200, 11580, 9930},
        // Left beyond the screen: placed at 0, width kept and then fitted.
        {"0,30000,1200,11580,9930", 19200, 14400, 0, 0, 1200, 11580, 9930},
        {"0,30000,1200,25000,9930", 19200, 14400, 0, 0, 1200, 19200, 9930},
        // Strict comparisons: edges exactly on the screen's edges stay.
        {"0,19200,14400,0,0", 19200, 14400, 0, 19200, 14400, 100, 100},
        {"0,7620,4470,11580,9930", 19200, 14400, 0, 7620, 4470, 11580, 9930},
        // Right and bottom edges beyond the screen: the size is cut.
        {"0,10000,8000,11580,9930", 19200, 14400, 0, 10000, 8000, 9200, 6400},
        // Five zeros and missing fields: the smallest size, never below 100 twips.
        {"0,0,0,0,0", 19200, 14400, 0, 0, 0, 100, 100},
        {"2,300", 19200, 14400, 2, 300, 0, 100, 100},
        // Negative positions are not corrected.
        {"0,-500,-300,4000,3000", 19200, 14400, 0, -500, -300, 4000, 3000},
        // States: minimised, maximised, halves rounded to even, unknown states refused.
        {"1,100,100,4000,3000", 19200, 14400, 1, 100, 100, 4000, 3000},
        {"1.5,100,100,4000,3000", 19200, 14400, 2, 100, 100, 4000, 3000},
        {"2.5,100,100,4000,3000", 19200, 14400, 2, 100, 100, 4000, 3000},
        {"0.5,100,100,4000,3000", 19200, 14400, 0, 100, 100, 4000, 3000},
        {"7,100,100,4000,3000", 19200, 14400, 0, 100, 100, 4000, 3000},
        // Blanks around fields and junk after the numbers.
        {" 0 , 100px , 200 , 4000.0 , 3000 ", 19200, 14400, 0, 100, 200, 4000, 3000},
        // Values no window can hold are skipped; the clamping still runs.
        {"1e400,1e300,200,4000,3000", 19200, 14400, 0, 500, 200, 4000, 3000},
    };
    for (const RestoreCase &c : cases) {
        FakeWindow window;
        window.screenW = c.screenW;
        window.screenH = c.screenH;
        ApplyWindowPositionRecord(window, QString::fromLatin1(c.record));
        SCOPED_TRACE(c.record);
        EXPECT_EQ(window.state, c.state);
        EXPECT_DOUBLE_EQ(window.l, c.left);
        EXPECT_DOUBLE_EQ(window.t, c.top);
        EXPECT_DOUBLE_EQ(window.w, c.width);
        EXPECT_DOUBLE_EQ(window.h, c.height);
    }
}

TEST(WindowPosition, RestoreWithoutRecordKeepsTheWindow)
{
    for (const char *record : {"", "   ", "n/a", " n/a "}) {
        FakeWindow window;
        window.state = 2;
        ApplyWindowPositionRecord(window, QString::fromLatin1(record));
        EXPECT_EQ(window.state, 2) << record;
        EXPECT_EQ(window.l, 500);
        EXPECT_EQ(window.w, 11580);
    }
}

TEST(WindowPosition, RefusedStepsAreSkipped)
{
    // A window that refuses every width: the other steps still run.
    FakeWindow window;
    window.refuseWidth = true;
    ApplyWindowPositionRecord(window, QStringLiteral("2,20000,300,0,0"));
    EXPECT_EQ(window.l, 0);
    EXPECT_EQ(window.t, 300);
    EXPECT_EQ(window.w, 11580);
    EXPECT_EQ(window.h, 100);
    EXPECT_EQ(window.state, 2);

    // The platform raises small sizes to its minimum; the 100-twips floor then keeps it.
    FakeWindow framed;
    framed.minSize = 1500;
    ApplyWindowPositionRecord(framed, QStringLiteral("0,0,0,0,0"));
    EXPECT_EQ(framed.w, 1500);
    EXPECT_EQ(framed.h, 1500);

    // Left on the screen's right edge: the width is cut to 0, then raised to 100.
    FakeWindow edge;
    edge.screenW = 1000;
    ApplyWindowPositionRecord(edge, QStringLiteral("0,1000,0,500,500"));
    EXPECT_EQ(edge.l, 1000);
    EXPECT_EQ(edge.w, 100);
}

TEST(WindowPosition, RecordHoldsTheNormalRectangle)
{
    for (int state : {0, 1, 2}) {
        FakeWindow window;
        window.state = state;
        window.hasOtherRect = true;
        window.l = 1920;
        window.t = 1200;
        EXPECT_EQ(WindowPositionRecord(window),
                  QStringLiteral("%1,1920,1200,11580,9930").arg(state));
    }
    FakeWindow fractional;
    fractional.l = 12.5;
    fractional.w = -30;
    EXPECT_EQ(WindowPositionRecord(fractional), QStringLiteral("0,12.5,400,-30,9930"));
}

TEST(WindowPosition, SavedRecordRestoresTheWindow)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    pfad_vexa = QDir::toNativeSeparators(dir.path()) + u'/';

    FakeWindow saved;
    saved.state = 2;
    saved.hasOtherRect = true;
    saved.l = 1920;
    saved.t = 1200;
    SaveWindowPosition(saved, QStringLiteral("ROWLENS32"));
    EXPECT_EQ(ReadIniValue(pfad_vexa, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                           QStringLiteral("ROWLENS32")),
              QStringLiteral("2,1920,1200,11580,9930"));

    FakeWindow restored;
    restored.l = restored.t = 0;
    RestoreWindowPosition(restored, QStringLiteral("ROWLENS32"));
    EXPECT_EQ(restored.state, 2);
    EXPECT_EQ(restored.l, 1920);
    EXPECT_EQ(restored.t, 1200);
    EXPECT_EQ(restored.w, 11580);
    EXPECT_EQ(restored.h, 9930);

    // Another key has no record: nothing changes.
    FakeWindow other;
    RestoreWindowPosition(other, QStringLiteral("OTHER"));
    EXPECT_EQ(other.l, 500);
    pfad_vexa.clear();
}

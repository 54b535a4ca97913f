// Regions: each shape's pixels by the system's rules, the combinations, copies clipped to them, and
// the few rectangles that cover them.

#include <gtest/gtest.h>

#include <vector>

#include "gfx/Region.h"

namespace {

using gfx::CombineMode;
using gfx::IntPoint;
using gfx::IntRect;
using gfx::Span;
using gfx::TRegion;

std::vector<Span> Row(const TRegion& r, int y) {
    const auto spans = r.RowSpans(y);
    return {spans.begin(), spans.end()};
}

// The region mirrored left-right and top-bottom inside box equals itself.
bool Symmetric(const TRegion& r, const IntRect& box) {
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const IntPoint mirrored{box.left + box.right - 1 - x, box.top + box.bottom - 1 - y};
            if (r.Contains({x, y}) != r.Contains(mirrored)) {
                return false;
            }
        }
    }
    return true;
}

TEST(Region, ARectangleCoversItsLeftAndTopEdgesButNotItsRightAndBottom) {
    const TRegion r = TRegion::Rect({2, 3, 6, 5});
    EXPECT_TRUE(r.Contains({2, 3}));
    EXPECT_TRUE(r.Contains({5, 4}));
    EXPECT_FALSE(r.Contains({6, 3}));
    EXPECT_FALSE(r.Contains({2, 5}));
    EXPECT_EQ(r.Area(), 8);
    EXPECT_EQ(r.ClipBox(), (IntRect{2, 3, 6, 5}));
    EXPECT_EQ(TRegion::Rect({6, 5, 2, 3}), r);
    EXPECT_TRUE(TRegion::Rect({4, 4, 4, 9}).IsEmpty());
    EXPECT_EQ(TRegion::Rect({4, 4, 4, 9}).ClipBox(), IntRect{});
}

TEST(Region, PolygonsTakeThePixelsWhoseCornerIsInside) {
    // A rectangle drawn as a polygon is the same region as the rectangle.
    const IntPoint square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(TRegion::Polygon(square), TRegion::Rect({0, 0, 10, 10}));

    // Row y of this triangle runs from 0 to the first pixel right of the hypotenuse, Ceil(8 - y).
    const IntPoint triangle[] = {{0, 0}, {8, 0}, {0, 8}};
    const TRegion t = TRegion::Polygon(triangle);
    EXPECT_EQ(Row(t, 0), (std::vector<Span>{{0, 8}}));
    EXPECT_EQ(Row(t, 7), (std::vector<Span>{{0, 1}}));
    EXPECT_EQ(t.Area(), 36);
    const IntPoint slanted[] = {{0, 0}, {3, 0}, {0, 2}};  // the edge crosses row 1 at x = 1.5
    EXPECT_EQ(Row(TRegion::Polygon(slanted), 1), (std::vector<Span>{{0, 2}}));

    // Far-flung corners: the edge's crossings are worked out in 32 bits while they fit (rows 1
    // and 2) and in 64 bits past that (row 3), rounded up alike.
    const IntPoint wide[] = {{0, 0}, {1000000007, 0}, {0, 4}};
    const TRegion w = TRegion::Polygon(wide);
    EXPECT_EQ(Row(w, 1), (std::vector<Span>{{0, 750000006}}));
    EXPECT_EQ(Row(w, 2), (std::vector<Span>{{0, 500000004}}));
    EXPECT_EQ(Row(w, 3), (std::vector<Span>{{0, 250000002}}));
}

TEST(Region, ASelfCrossingStarIsFilledByTheWindingRule) {
    // A five-pointed star drawn in one stroke: its centre is wound twice.
    const IntPoint star[] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
    const TRegion winding = TRegion::Polygon(star);
    const TRegion alternate = TRegion::Polygon(star, gfx::PolyFillMode::Alternate);
    EXPECT_TRUE(winding.Contains({20, 20}));
    EXPECT_FALSE(alternate.Contains({20, 20}));
    EXPECT_TRUE(alternate.Contains({20, 5}));
    // What winding adds is the inner pentagon: corners at y = 14 and (20, 29), sides at x = 12.6 and 27.4.
    EXPECT_EQ(TRegion::Combine(winding, alternate, CombineMode::Diff).ClipBox(), (IntRect{13, 14, 28, 29}));
    // The apex row holds only the apex's corner, an empty span.
    EXPECT_EQ(winding.ClipBox(), (IntRect{0, 1, 40, 38}));
}

TEST(Region, EllipsesAreSymmetricInsideTheirBox) {
    const TRegion e = TRegion::Ellipse({0, 0, 10, 10});
    EXPECT_EQ(e.ClipBox(), (IntRect{0, 0, 10, 10}));
    EXPECT_EQ(Row(e, 0), (std::vector<Span>{{3, 7}}));
    EXPECT_EQ(Row(e, 4), (std::vector<Span>{{0, 10}}));
    EXPECT_TRUE(Symmetric(e, {0, 0, 10, 10}));
    const TRegion odd = TRegion::Ellipse({5, 2, 14, 9});  // 9 x 7
    EXPECT_TRUE(Symmetric(odd, {5, 2, 14, 9}));
    EXPECT_EQ(odd.ClipBox(), (IntRect{5, 2, 14, 9}));
    EXPECT_EQ(Row(odd, 5), (std::vector<Span>{{5, 14}}));
}

TEST(Region, RoundedRectanglesKeepStraightEdgesBetweenTheCorners) {
    const TRegion r = TRegion::RoundRect({0, 0, 20, 10}, 6, 6);
    EXPECT_EQ(Row(r, 0), (std::vector<Span>{{1, 19}}));
    EXPECT_EQ(Row(r, 5), (std::vector<Span>{{0, 20}}));
    EXPECT_TRUE(Symmetric(r, {0, 0, 20, 10}));
    EXPECT_EQ(TRegion::RoundRect({0, 0, 20, 10}, 0, 6), TRegion::Rect({0, 0, 20, 10}));
    EXPECT_EQ(TRegion::RoundRect({0, 0, 20, 10}, 50, 50), TRegion::Ellipse({0, 0, 20, 10}));
}

TEST(Region, CombinationsFollowTheirSetOperation) {
    const TRegion a = TRegion::Rect({0, 0, 10, 10});
    const TRegion b = TRegion::Rect({5, 5, 15, 15});
    EXPECT_EQ(TRegion::Combine(a, b, CombineMode::Or).Area(), 175);
    EXPECT_EQ(TRegion::Combine(a, b, CombineMode::And), TRegion::Rect({5, 5, 10, 10}));
    const TRegion x = TRegion::Combine(a, b, CombineMode::Xor);
    EXPECT_EQ(x.Area(), 150);
    EXPECT_FALSE(x.Contains({7, 7}));
    EXPECT_EQ(x.ClipBox(), (IntRect{0, 0, 15, 15}));
    const TRegion d = TRegion::Combine(a, b, CombineMode::Diff);
    EXPECT_EQ(d.Area(), 75);
    EXPECT_EQ(Row(d, 7), (std::vector<Span>{{0, 5}}));
    EXPECT_EQ(TRegion::Combine(a, b, CombineMode::Copy), a);
    EXPECT_TRUE(TRegion::Combine(a, TRegion::Rect({20, 20, 30, 30}), CombineMode::And).IsEmpty());

    // Touching pieces join into one: equal sets are equal regions.
    EXPECT_EQ(TRegion::Combine(TRegion::Rect({0, 0, 5, 5}), TRegion::Rect({5, 0, 10, 5}), CombineMode::Or),
              TRegion::Rect({0, 0, 10, 5}));
    TRegion moved = b;
    moved.Offset(-5, -5);
    EXPECT_EQ(moved, TRegion::Rect({0, 0, 10, 10}));
}

TEST(Region, AUnionOfManyPartsIsTheirPairwiseUnion) {
    const IntPoint triangle[] = {{3, 1}, {12, 9}, {0, 7}};
    const std::vector<TRegion> parts = {TRegion::Rect({0, 0, 4, 4}),  TRegion::Rect({4, 0, 8, 2}),
                                        TRegion::Polygon(triangle),     TRegion::Ellipse({6, 6, 16, 12}),
                                        TRegion(),                      TRegion::Rect({20, -5, 22, 30})};
    TRegion pairwise;
    for (const TRegion& p : parts) {
        pairwise = TRegion::Combine(pairwise, p, CombineMode::Or);
    }
    EXPECT_EQ(TRegion::Union(parts), pairwise);
    EXPECT_EQ(Row(TRegion::Union(parts), 0), (std::vector<Span>{{0, 8}, {20, 22}}));  // touching parts join
    EXPECT_TRUE(TRegion::Union(std::vector<TRegion>(3)).IsEmpty());
}

TEST(Region, CopiesAndFillsTouchOnlyCoveredPixels) {
    gfx::TBitmap32 source(6, 4, 0xFFFFFFFFu);
    gfx::TBitmap32 target(6, 4, 0xFF000000u);
    // A region partly outside both bitmaps.
    const TRegion r = TRegion::Combine(TRegion::Rect({-3, -3, 2, 2}), TRegion::Rect({4, 3, 9, 9}), CombineMode::Or);
    gfx::CopyRegion(target, source, r);
    int white = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool covered = r.Contains({x, y});
            EXPECT_EQ(target.Pixel(x, y), covered ? 0xFFFFFFFFu : 0xFF000000u) << x << "," << y;
            white += covered ? 1 : 0;
        }
    }
    EXPECT_EQ(white, 6);
    gfx::FillRegion(target, TRegion::Ellipse({0, 0, 6, 4}), 0xFF123456u);
    EXPECT_EQ(target.Pixel(3, 2), 0xFF123456u);
    EXPECT_EQ(target.Pixel(5, 3), 0xFFFFFFFFu);
}

TEST(Region, AFewBandedRectanglesCoverEveryPixelInsideTheBounds) {
    // Two thin diagonal edges far apart, as the propellers' frames add them, and a part outside.
    const IntPoint left[] = {{0, 0}, {4, 0}, {60, 100}, {56, 100}};
    const IntPoint right[] = {{196, 0}, {200, 0}, {144, 100}, {140, 100}};
    const TRegion r = TRegion::Union(std::vector<TRegion>{TRegion::Polygon(left), TRegion::Polygon(right),
                                                          TRegion::Rect({-10, 90, 300, 95})});
    const IntRect bounds{0, 0, 200, 100};
    const std::vector<IntRect> rects = gfx::CoveringRects(r, bounds, 10, 8);
    // One rectangle per edge per band, and the strip across joins both edges in its band.
    EXPECT_LE(rects.size(), 20u);
    std::int64_t area = 0;
    for (const IntRect& c : rects) {
        EXPECT_EQ(c.Intersect(bounds), c);
        area += std::int64_t{c.Width()} * c.Height();
    }
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (!r.Contains({x, y})) {
                continue;
            }
            bool covered = false;
            for (const IntRect& c : rects) {
                covered = covered || c.Contains({x, y});
            }
            ASSERT_TRUE(covered) << x << "," << y;
        }
    }
    // The space between the edges is left out: far less than the clip box.
    EXPECT_LT(area, 200 * 100 / 3);
    EXPECT_TRUE(gfx::CoveringRects(TRegion(), bounds, 10, 8).empty());
}

}  // namespace

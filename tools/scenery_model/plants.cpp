// Two banana plants in the planter: their pseudostems, the stalks and midribs
// of their leaves, the leaf blades (outlines, tears and the fold along the
// midrib modelled in geometry, both sides, since the scenery is drawn without
// alpha test and with back faces culled), a young rolled leaf, and an old leaf
// fallen on the lawn.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/common/noise.h"
#include "tools/scenery_model/site.h"

namespace set {

namespace {

const P3 kUp{0, 1, 0};

double radians(double degrees) { return degrees * kPi / 180.0; }

struct Leaf {
    P3 base;             // where the stalk leaves the stem
    double azimuth;      // compass direction of the leaf, degrees (0 = +x, 90 = +z)
    double rise;         // initial climb of the stalk, degrees
    double droop;        // how far the leaf bends down, as a share of its length
    double length;       // stalk and blade together
    double stalk;        // share of the length before the blade starts
    double width;        // the blade's half width at its widest
    double fold = 18;    // the halves hang down from the midrib by this angle
    double roll = 0;     // turn of the whole blade about the midrib, degrees
    std::vector<double> tears;  // places along the blade (0..1) where its margin is torn to the midrib
    bool onGround = false;      // lies on the lawn, following the ground
    int segments = 12;          // blade segments from base to tip
    double lift = 0.12;         // height over the ground of a leaf lying on it
};

struct Frame {
    P3 p, along, side, normal;
};

// The midrib at t (0 at the base, 1 at the tip): a rising arc that bends down.
Frame midrib(const Leaf& leaf, double t) {
    const P3 heading{std::cos(radians(leaf.azimuth)), 0, std::sin(radians(leaf.azimuth))};
    const double c = std::cos(radians(leaf.rise)), s = std::sin(radians(leaf.rise));
    const double L = leaf.length;
    Frame f;
    f.p = leaf.base + heading * (L * t * c) + kUp * (L * t * s - leaf.droop * L * t * t);
    f.along = normalized(heading * (L * c) + kUp * (L * s - 2 * leaf.droop * L * t));
    P3 side = normalized(cross(f.along, kUp));
    P3 normal = cross(side, f.along);
    const double r = radians(leaf.roll);
    f.side = side * std::cos(r) + normal * std::sin(r);
    f.normal = normal * std::cos(r) - side * std::sin(r);
    if (leaf.onGround) f.p.y = groundHeight(f.p.x, f.p.z) + leaf.lift;
    return f;
}

// The blade stops just short of the midrib's end, which sticks out as a point.
constexpr double kBladeEnd = 0.985;

// Half width of the blade at s (0..1 along it): oblong with rounded ends.
double bladeWidth(const Leaf& leaf, double s) {
    const double e = 2 * s - 1;
    // Banana blades end blunt at both ends: never quite narrowing to a point.
    return leaf.width * (0.1 + 0.9 * std::sqrt(std::max(0.0, 1 - e * e * e * e))) * (1.0 - 0.15 * s);
}

// The blade's upper side (the builder adds the lower one): per segment and half, two bands from the midrib to the
// margin. A tear separates the margins of neighbouring segments (the cut
// narrows to nothing at the midrib) and lets the torn piece hang a little.
void blade(Group& g, const Leaf& leaf) {
    const double s0 = leaf.stalk;
    auto point = [&](double s, double lateral, double hang) {
        // lateral -1..1 across the blade (left to right), s 0..1 along it.
        Frame f = midrib(leaf, s0 + (kBladeEnd - s0) * s);
        const double w = bladeWidth(leaf, s) * std::fabs(lateral);
        const double sign = lateral < 0 ? -1.0 : 1.0;
        const double fold = radians(leaf.fold) * (0.6 + 0.4 * std::fabs(lateral));
        P3 p = f.p + f.side * (sign * w * std::cos(fold)) - f.normal * (w * std::sin(fold) + hang * std::fabs(lateral));
        // A slight ripple along the margin.
        p = p + f.normal * (0.12 * std::fabs(lateral) * std::sin(s * 37.0 + sign));
        if (leaf.onGround) p.y = groundHeight(p.x, p.z) + leaf.lift + 0.1 * std::fabs(lateral) * std::sin(s * 23.0);
        return Corner{p, lateral * bladeWidth(leaf, s) / leaf.width, s};
    };
    auto torn = [&](int i) {
        for (double t : leaf.tears)
            if (std::lround(t * leaf.segments) == i) return true;
        return false;
    };
    const double gap = 0.18 / leaf.segments;
    for (int i = 0; i < leaf.segments; ++i) {
        const double a = double(i) / leaf.segments, b = double(i + 1) / leaf.segments;
        const double hang = 0.25 * std::sin(i * 2.1) * (leaf.tears.empty() ? 0.0 : 1.0);
        for (double sign : {-1.0, 1.0}) {
            // Margin positions pulled back where a tear separates the segments.
            const double ea = a + (torn(i) ? gap : 0.0), eb = b - (torn(i + 1) ? gap : 0.0);
            const double ma = a + (torn(i) ? gap / 2 : 0.0), mb = b - (torn(i + 1) ? gap / 2 : 0.0);
            Corner r0 = point(a, 0.0, 0), r1 = point(b, 0.0, 0);
            Corner m0 = point(ma, 0.5 * sign, hang * 0.5), m1 = point(mb, 0.5 * sign, hang * 0.5);
            Corner e0 = point(ea, sign, hang), e1 = point(eb, sign, hang);
            r0.u = r1.u = 0.0;
            auto band = [&](const Corner& p0, const Corner& p1, const Corner& q1, const Corner& q0) {
                const Frame f = midrib(leaf, s0 + (kBladeEnd - s0) * (a + b) / 2);
                g.quadFacing(p0, p1, q1, q0, f.normal);
            };
            band(r0, r1, m1, m0);
            band(m0, m1, e1, e0);
        }
    }
}

// A tube with `sides` sides along the midrib from t0 to t1, radius r0 to r1.
void midribTube(Group& g, const Leaf& leaf, double t0, double t1, double r0, double r1, int sides, int segments) {
    for (int i = 0; i < segments; ++i) {
        const double ta = t0 + (t1 - t0) * i / segments, tb = t0 + (t1 - t0) * (i + 1) / segments;
        Frame fa = midrib(leaf, ta), fb = midrib(leaf, tb);
        const double ra = r0 + (r1 - r0) * i / segments, rb = r0 + (r1 - r0) * (i + 1) / segments;
        for (int k = 0; k < sides; ++k) {
            auto around = [&](const Frame& f, double r, int j) {
                const double a = 2 * kPi * (j + 0.25) / sides;
                return f.p + f.side * (r * std::cos(a)) + f.normal * (r * std::sin(a));
            };
            const double u0 = double(k) / sides, u1 = double(k + 1) / sides;
            const double va = double(i) / segments, vb = double(i + 1) / segments;
            const P3 out = around(fa, 1, k) + around(fa, 1, k + 1) - fa.p * 2;
            g.quadFacing({around(fa, ra, k), u0, va}, {around(fa, ra, k + 1), u1, va}, {around(fb, rb, k + 1), u1, vb},
                         {around(fb, rb, k), u0, vb}, out);
        }
    }
}

// A pseudostem: a tapering, slightly leaning tube of overlapping leaf sheaths.
void stem(Group& g, const P3& foot, double height, double r0, double r1, double lean, int sides, int rings) {
    for (int i = 0; i < rings; ++i) {
        auto ringPoint = [&](int ring, int k) {
            const double t = double(ring) / rings;
            const double a = 2 * kPi * k / sides;
            const double r = r0 + (r1 - r0) * t;
            return P3{foot.x + lean * t * t + r * std::cos(a), foot.y + height * t, foot.z + r * std::sin(a)};
        };
        for (int k = 0; k < sides; ++k) {
            const P3 a = ringPoint(i, k), b = ringPoint(i, k + 1), c = ringPoint(i + 1, k + 1), d = ringPoint(i + 1, k);
            const P3 out = (a + b) * 0.5 - P3{foot.x + lean * double(i) * i / rings / rings, a.y, foot.z};
            g.quadFacing({a, double(k) / sides, double(i) / rings}, {b, double(k + 1) / sides, double(i) / rings},
                         {c, double(k + 1) / sides, double(i + 1) / rings}, {d, double(k) / sides, double(i + 1) / rings},
                         out);
        }
    }
}

}  // namespace

namespace {

// Bounds of what a leaf adds: its blade, or its midrib tube.
Bounds bladeBounds(const Leaf& leaf) {
    Group g;
    blade(g, leaf);
    return g.bounds();
}
Bounds tubeBounds(const Leaf& leaf) {
    Group g;
    midribTube(g, leaf, 0.0, 1.0, 0.3, 0.07, 3, 8);
    return g.bounds();
}

// Sets one of the leaf's numbers so that `measure` of the leaf comes out at
// `target`, by bisection between lo and hi (measure must be monotonic there).
template <class Measure>
void fit(Leaf& leaf, double Leaf::*field, double lo, double hi, double target, Measure measure) {
    leaf.*field = lo;
    const bool rising = measure(leaf) < target;
    for (int i = 0; i < 60; ++i) {
        leaf.*field = 0.5 * (lo + hi);
        if ((measure(leaf) < target) == rising) lo = leaf.*field;
        else hi = leaf.*field;
    }
    leaf.*field = 0.5 * (lo + hi);
}

enum Axis { X = 0, Y = 1, Z = 2 };
auto tubeLow(Axis a) { return [a](const Leaf& l) { return tubeBounds(l).lo[a]; }; }
auto tubeHigh(Axis a) { return [a](const Leaf& l) { return tubeBounds(l).hi[a]; }; }
auto bladeLow(Axis a) { return [a](const Leaf& l) { return bladeBounds(l).lo[a]; }; }
auto bladeHigh(Axis a) { return [a](const Leaf& l) { return bladeBounds(l).hi[a]; }; }

}  // namespace

void buildBananas(Group& stems, Group& youngLeaves, Group& stemsB, Group& leaves) {
    // Each leaf's reach is set so the plants fill the places the set leaves
    // them: the stems' and leaves' outermost points fall on the planned extents.
    const double topA = 17.5, topB = 15.0;
    stem(stems, kPlantA, topA - kPlantA.y, 1.15, 0.75, 0.3, 10, 6);
    stem(stems, kPlantB, topB - kPlantB.y, 0.95, 0.65, -0.3, 10, 5);
    const P3 crownA = kPlantA + P3{0.3, topA - kPlantA.y, 0}, crownB = kPlantB + P3{-0.3, topB - kPlantB.y, 0};

    // Plant A: big leaves to the west and north (blades in `leaves`), two young
    // leaves to the east (`youngLeaves`), and two old midribs stripped bare.
    Leaf a1{crownA, 178, 40, 0.55, 12.5, 0.18, 2.1, 18, 10, {0.35, 0.6, 0.8}};
    fit(a1, &Leaf::length, 6, 20, 20.7, tubeLow(X));
    fit(a1, &Leaf::width, 1.0, 4.0, 22.9, bladeLow(Z));
    Leaf a2{crownA, 138, 44, 0.62, 12.0, 0.16, 2.2, 20, -8, {0.5, 0.75}};
    Leaf a3{crownA, 100, 50, 0.60, 11.0, 0.15, 2.0, 16, 0, {0.4}};
    Leaf a4{crownA + P3{0, 0.2, 0}, 158, 46, 0.64, 11.5, 0.16, 2.1, 18, -12, {0.3, 0.65}};
    // The reach is refitted for every trial rise, so both come out right.
    auto a3Reach = [](Leaf& l) { fit(l, &Leaf::length, 6, 20, 35.1, tubeHigh(Z)); };
    fit(a3, &Leaf::rise, 20, 80, 22.3, [&](Leaf l) { return a3Reach(l), tubeBounds(l).hi[Y]; });
    a3Reach(a3);

    Leaf y1{crownA + P3{0.2, 0.3, 0}, -40, 70, 0.2, 9.0, 0.12, 1.6, 14, 0, {}, false, 5};
    auto y1Place = [](Leaf& l) {
        for (int round = 0; round < 4; ++round) {
            fit(l, &Leaf::length, 4, 16, 20.0, bladeLow(Z));
            fit(l, &Leaf::azimuth, -110, -40, 31.0, bladeLow(X));
        }
    };
    fit(y1, &Leaf::rise, 40, 88, 25.8, [&](Leaf l) { return y1Place(l), bladeBounds(l).hi[Y]; });
    y1Place(y1);
    Leaf y2{crownA + P3{0.2, 0.5, 0.2}, 20, 30, 0.70, 9.5, 0.12, 1.5, 12, 0, {}, false, 5};
    for (int round = 0; round < 6; ++round) {
        fit(y2, &Leaf::length, 4, 16, 40.4, bladeHigh(X));
        fit(y2, &Leaf::droop, 0.1, 1.5, 15.4, bladeLow(Y));
        fit(y2, &Leaf::azimuth, 0, 45, 29.9, bladeHigh(Z));
    }

    Leaf s1{crownA, -5, 25, 0.52, 12.0, 1.0, 0, 0, 0, {}};
    fit(s1, &Leaf::length, 4, 20, 41.3, tubeHigh(X));
    Leaf s2{crownA, -80, 30, 0.50, 11.5, 1.0, 0, 0, 0, {}};
    fit(s2, &Leaf::length, 4, 20, 15.9, tubeLow(Z));

    // Plant B: leaves all round, and a new leaf standing up.
    Leaf b1{crownB, 180, 40, 0.60, 9.5, 0.15, 1.9, 18, 6, {0.3, 0.55}};
    for (int round = 0; round < 6; ++round) {
        fit(b1, &Leaf::length, 4, 20, 20.9, tubeLow(X));
        fit(b1, &Leaf::droop, 0.1, 1.5, 11.4, tubeLow(Y));
    }
    Leaf b2{crownB, 0, 40, 0.62, 9.0, 0.15, 1.8, 20, -6, {0.6}};
    fit(b2, &Leaf::length, 4, 20, 34.8, tubeHigh(X));
    Leaf b3{crownB, 90, 44, 0.60, 9.0, 0.16, 1.8, 18, 0, {0.45, 0.7}};
    auto b3Reach = [](Leaf& l) { fit(l, &Leaf::length, 4, 20, 39.4, tubeHigh(Z)); };
    fit(b3, &Leaf::rise, 20, 80, 21.9, [&](Leaf l) { return b3Reach(l), tubeBounds(l).hi[Y]; });
    b3Reach(b3);
    Leaf b4{crownB, 270, 42, 0.66, 8.5, 0.15, 1.7, 16, 0, {}};
    Leaf b6{crownB + P3{0, 0.3, 0}, 135, 46, 0.62, 9.0, 0.15, 1.8, 18, 8, {0.5}};
    Leaf b7{crownB + P3{0, 0.2, 0}, 222, 44, 0.63, 8.8, 0.15, 1.7, 18, -5, {0.35, 0.7}};
    fit(b4, &Leaf::length, 4, 20, 26.9, tubeLow(Z));
    Leaf b5{crownB + P3{0, 0.4, 0}, 60, 76, 0.22, 12.0, 0.14, 1.6, 12, 0, {}};
    fit(b5, &Leaf::length, 6, 24, 25.5, bladeHigh(Y));

    // The old leaf fallen on the lawn, in the hollow north of the pool.
    Leaf fallen{{14.0, 0, 44.2}, 185, 0, 0, 15.5, 0.1, 2.2, 8, 0, {0.3, 0.5, 0.7}};
    fallen.onGround = true;
    fit(fallen, &Leaf::length, 6, 25, -1.2, bladeLow(X));
    fit(fallen, &Leaf::lift, 0.0, 0.5, 0.2, bladeLow(Y));
    fallen.base.z += 46.4 - bladeBounds(fallen).hi[Z];
    fit(fallen, &Leaf::lift, 0.0, 0.5, 0.2, bladeLow(Y));

    if (std::getenv("SCENERY_LEAVES"))
        for (const Leaf* leaf : {&a1, &a2, &a3, &a4, &y1, &y2, &s1, &s2, &b1, &b2, &b3, &b4, &b5, &b6, &b7, &fallen}) {
            Bounds t = tubeBounds(*leaf), b = bladeBounds(*leaf);
            std::printf("az %6.1f rise %5.1f droop %4.2f len %5.2f w %4.2f | tube x %6.2f..%6.2f y %6.2f..%6.2f z %6.2f..%6.2f | blade x %6.2f..%6.2f y %6.2f..%6.2f z %6.2f..%6.2f\n",
                        leaf->azimuth, leaf->rise, leaf->droop, leaf->length, leaf->width, t.lo[0], t.hi[0], t.lo[1], t.hi[1], t.lo[2], t.hi[2],
                        b.lo[0], b.hi[0], b.lo[1], b.hi[1], b.lo[2], b.hi[2]);
        }
    for (const Leaf* leaf : {&a1, &a2, &a3, &a4}) {
        midribTube(stems, *leaf, 0.0, 1.0, 0.35, 0.08, 3, 8);
        blade(leaves, *leaf);
    }
    for (const Leaf* leaf : {&y1, &y2}) {
        midribTube(stems, *leaf, 0.0, leaf->stalk + 0.05, 0.3, 0.25, 3, 2);
        blade(youngLeaves, *leaf);
    }
    for (const Leaf* leaf : {&s1, &s2}) midribTube(stems, *leaf, 0.0, 1.0, 0.3, 0.06, 3, 8);
    for (const Leaf* leaf : {&b1, &b2, &b3, &b4, &b6, &b7}) {
        midribTube(stemsB, *leaf, 0.0, 1.0, 0.32, 0.07, 3, 8);
        blade(leaves, *leaf);
    }
    blade(leaves, b5);
    blade(leaves, fallen);
}

}  // namespace set

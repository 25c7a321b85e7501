#include "tools/indoor_textures/materials.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/common/noise.h"
#include "tools/indoor_set/surface_atlas.h"

namespace indoor {

using namespace gen;

namespace {

constexpr double kTau = 6.283185307179586;

double fract(double x) { return x - std::floor(x); }

// Calls paint(u, v, index) for the centre of every texel.
void forEachTexel(const Picture& p, const std::function<void(double, double, size_t)>& paint) {
    for (int y = 0; y < p.size; ++y)
        for (int x = 0; x < p.size; ++x) paint((x + 0.5) / p.size, (y + 0.5) / p.size, size_t(y) * p.size + x);
}

// Thin straight scratches, drawn with wrap-around, calling mark(index, strength)
// for texels within a texel or so of each scratch.
void scratches(const Picture& p, int count, double minLength, double maxLength, uint32_t seed,
               const std::function<bool(double, double)>& allowed, const std::function<void(size_t, double)>& mark) {
    Random random(seed);
    const int n = p.size;
    for (int s = 0; s < count; ++s) {
        double x0 = random.next() * n, y0 = random.next() * n;
        double angle = random.next() * kTau;
        double len = (minLength + random.next() * (maxLength - minLength)) * n;
        double depth = 0.4 + 0.6 * random.next();
        if (!allowed(x0 / n, y0 / n)) continue;
        double dx = std::cos(angle), dy = std::sin(angle);
        for (double t = 0; t < len; t += 0.5) {
            // Scratches fade in and out along their length.
            double along = std::sin(0.5 * kTau * t / len);
            double cx = x0 + dx * t, cy = y0 + dy * t;
            for (int oy = -1; oy <= 1; ++oy)
                for (int ox = -1; ox <= 1; ++ox) {
                    int px = int(std::floor(cx)) + ox, py = int(std::floor(cy)) + oy;
                    double d = std::hypot(px + 0.5 - cx, py + 0.5 - cy);
                    if (d > 1.2) continue;
                    size_t index = size_t(((py % n) + n) % n) * n + ((px % n) + n) % n;
                    mark(index, depth * along * (1.0 - d / 1.2));
                }
        }
    }
}

}  // namespace

Picture paintFloorPlate(int size) {
    Picture p(size);
    const int cells = 16;  // tread cells per plate
    const Colour steel{0.40, 0.41, 0.42}, polished{0.66, 0.66, 0.66}, grime{0.13, 0.12, 0.10}, rust{0.36, 0.20, 0.10};

    // Screw heads along the plate's edges.
    std::vector<std::pair<double, double>> screws;
    for (int k = 0; k < 4; ++k) {
        double along = (k + 0.5) / 4;
        screws.push_back({along, 0.022});
        screws.push_back({along, 1 - 0.022});
        screws.push_back({0.022, along});
        screws.push_back({1 - 0.022, along});
    }
    forEachTexel(p, [&](double u, double v, size_t i) {
        // Tread bars: one lozenge per cell, turned +45 or -45 degrees in a checkerboard.
        double cu = u * cells, cv = v * cells;
        int ix = int(cu), iy = int(cv);
        double s = fract(cu) - 0.5, t = fract(cv) - 0.5;
        double sign = ((ix + iy) & 1) ? 1.0 : -1.0;
        double a = (s + sign * t) * 0.70710678, b = (t - sign * s) * 0.70710678;
        double d = std::sqrt((a / 0.40) * (a / 0.40) + (b / 0.115) * (b / 0.115));
        double bar = smoothstep(1.0, 0.62, d);

        // Seams at the plate's edges, with a bevel, and flat pads around the screws.
        double edge = std::min({u, 1 - u, v, 1 - v}) * size;  // texels
        double seam = 1.0 - smoothstep(2.0, 5.0, edge);
        double pad = 0, screw = 0, slot = 0;
        for (auto [su, sv] : screws) {
            if (edge > 0.03 * size) break;  // screws sit along the edges only
            double du = (u - su) * size, dv = (v - sv) * size;
            double r = std::hypot(du, dv);
            pad = std::max(pad, 1.0 - smoothstep(14.0, 18.0, r));
            if (r < 10.0) {
                screw = std::max(screw, std::sqrt(1.0 - (r / 10.0) * (r / 10.0)));
                // A cross-head recess.
                if (r < 6.0 && (std::fabs(du) < 1.2 || std::fabs(dv) < 1.2)) slot = 1.0;
            }
        }
        bar *= (1 - pad) * smoothstep(6.0, 12.0, edge);

        double rough = fbm(u, v, 64, 3, 11);
        double stain = fbm(u, v, 3, 5, 12);
        double wear = smoothstep(-0.2, 0.5, fbm(u, v, 5, 4, 13));
        double tint = fbm(u, v, 6, 4, 14);

        double h = 2.6 * bar + 0.25 * rough - 3.0 * seam + 1.4 * screw - 1.0 * slot;
        Colour c = steel * (0.92 + 0.16 * tint);
        // Worn bar tops shine; grime settles around the bars and in the seams.
        c = mix(c, polished, bar * bar * (0.35 + 0.55 * wear));
        double cavity = (1 - bar) * smoothstep(1.1, 0.7, d) * 0.5 + seam * 0.9 + slot * 0.8;
        c = mix(c, grime, clamp01(cavity * (0.6 + 0.4 * stain)));
        double rusty = smoothstep(0.25, 0.55, stain) * (1 - bar * 0.7);
        c = mix(c, rust, 0.35 * rusty);
        c = mix(c, grime, 0.2 * smoothstep(0.1, -0.5, stain));
        if (screw > 0) c = mix(c, Colour{0.5, 0.5, 0.48}, 0.6 * screw * (1 - slot));

        p.colour[i] = c;
        p.height[i] = h;
        p.gloss[i] = clamp01(0.25 + 0.55 * bar * wear - 0.5 * rusty - 0.3 * cavity);
    });
    scratches(
        p, 220, 0.01, 0.07, 21, [](double, double) { return true; },
        [&](size_t i, double k) {
            p.colour[i] = mix(p.colour[i], Colour{0.62, 0.62, 0.60}, 0.3 * k);
            p.height[i] -= 0.35 * k;
            p.gloss[i] = std::max(p.gloss[i], 0.7 * k);
        });
    return p;
}

Picture paintGreenMetal(int size) {
    Picture p(size);
    const Colour paint{0.12, 0.31, 0.16}, metal{0.36, 0.36, 0.35}, rust{0.38, 0.19, 0.08}, primer{0.42, 0.40, 0.33};
    forEachTexel(p, [&](double u, double v, size_t i) {
        double chipField = fbm(u, v, 6, 5, 31) + 0.3 * fbm(u, v, 24, 3, 32);
        double chip = smoothstep(0.30, 0.33, chipField);
        double bloom = smoothstep(0.16, 0.30, chipField) * (1 - chip);
        double rustiness = smoothstep(-0.1, 0.4, fbm(u, v, 8, 4, 33));
        double peel = fbm(u, v, 64, 3, 34);
        double dirt = smoothstep(-0.1, 0.6, fbm(u, v, 4, 5, 35));
        double mottle = fbm(u, v, 10, 4, 36);

        // A weld seam along the pipe at u = 0.5, rippled along its length.
        double seamDist = (u - 0.5) * size;
        double seam = std::exp(-seamDist * seamDist / 5.0);
        double ripple = 0.5 + 0.5 * std::sin(v * size * 0.9);

        Colour c = paint * (0.9 + 0.2 * mottle);
        c = mix(c, rust * 0.8, 0.3 * bloom);
        Colour bare = mix(metal, rust, rustiness);
        c = mix(c, primer, smoothstep(0.26, 0.30, chipField) * (1 - chip) * 0.5);
        c = mix(c, bare, chip);
        c = mix(c, Colour{0.08, 0.09, 0.06}, 0.35 * dirt);
        c = c * (1 - 0.12 * seam);

        p.colour[i] = c;
        p.height[i] = 0.25 * peel - 1.3 * chip + seam * (1.6 + 0.4 * ripple);
        p.gloss[i] = clamp01((0.45 + 0.1 * mottle) * (1 - chip) + chip * (0.75 - 0.7 * rustiness) - 0.3 * dirt);
    });
    scratches(
        p, 50, 0.01, 0.06, 37, [](double, double) { return true; },
        [&](size_t i, double k) {
            p.colour[i] = mix(p.colour[i], Colour{0.45, 0.47, 0.42}, 0.35 * k);
            p.height[i] -= 0.4 * k;
            p.gloss[i] = std::max(p.gloss[i], 0.6 * k);
        });
    return p;
}

Picture paintPipeJoint(int size) {
    Picture p(size);
    const Colour iron{0.21, 0.21, 0.22}, machined{0.42, 0.42, 0.43}, rust{0.34, 0.17, 0.07}, gasket{0.04, 0.04, 0.04},
        zinc{0.56, 0.57, 0.58};

    // Where each band of the turned body starts along v.
    double lengths[kJointProfilePoints - 1], total = 0;
    for (int k = 1; k < kJointProfilePoints; ++k)
        total += lengths[k - 1] = std::hypot(kJointProfile[k].r - kJointProfile[k - 1].r,
                                             kJointProfile[k].z - kJointProfile[k - 1].z);
    const UvRect& lathe = kJointLatheUv;

    forEachTexel(p, [&](double u, double v, size_t i) {
        double rustField = fbm(u, v, 6, 5, 41);
        double pits = smoothstep(0.12, 0.0, cellDistance(u, v, 96, 42));
        double grain = fbm(u, v, 96, 2, 43);
        double tint = fbm(u, v, 8, 3, 44);
        Colour c;
        double h = 0, gloss = 0.3;

        if (v <= lathe.v1 + 0.004) {
            // The turned body: find the band and the place within it.
            double s = clamp01((v - lathe.v0) / (lathe.v1 - lathe.v0)) * total;
            int band = 0;
            while (band < kJointProfilePoints - 2 && s > lengths[band]) s -= lengths[band++];
            double t = clamp01(s / lengths[band]);
            int side = band < 6 ? band : 11 - band;  // the two halves mirror each other
            double a = (u - lathe.u0) / (lathe.u1 - lathe.u0);
            // Edges between bands: concave ones collect rust, convex ones are worn bright.
            double nearStart = smoothstep(0.18, 0.0, t), nearEnd = smoothstep(0.82, 1.0, t);
            double fillet = (side == 3 ? (band < 6 ? nearStart : nearEnd) : 0) + (side == 2 ? (band < 6 ? nearEnd : nearStart) : 0);
            double rim = (side == 4 || side == 3) ? (side == 4 ? (band < 6 ? nearStart : nearEnd) : (band < 6 ? nearEnd : nearStart)) : 0;
            // Mould parting lines on the cast surfaces.
            double parting = std::exp(-std::pow((fract(a * 2 + 0.125) - 0.5) * size * 2, 2) / 3.0);
            switch (side) {
                case 0:  // end face, faced on a lathe: fine concentric rings
                    c = mix(iron, machined, 0.55);
                    h = 0.2 * std::sin(v * size * 2.2) + 0.2 * grain;
                    gloss = 0.5;
                    break;
                case 4:  // flange rim, turned
                    c = machined * (0.9 + 0.15 * tint);
                    h = 0.15 * std::sin(v * size * 2.6) + 0.15 * grain;
                    gloss = 0.6;
                    break;
                case 5:  // the gasket between the flanges
                    c = gasket;
                    h = 0.3 * grain;
                    gloss = 0.05;
                    break;
                default:  // rough cast iron
                    c = iron * (0.85 + 0.3 * tint);
                    h = 0.6 * grain - 1.2 * pits + 0.8 * parting;
                    gloss = 0.2;
                    break;
            }
            double rusty = clamp01(smoothstep(0.15, 0.5, rustField) + 0.8 * fillet) * (side == 5 ? 0 : 1);
            c = mix(c, rust * (0.8 + 0.4 * tint), 0.75 * rusty);
            c = mix(c, machined * 1.2, 0.4 * rim * (1 - rusty));
            h += 0.5 * rusty * grain;
            gloss = clamp01(gloss - 0.4 * rusty + 0.3 * rim);
        } else if (v >= kJointBossSideUv.v0 - 0.005 && u <= kJointBossSideUv.u1 + 0.005) {
            // The cast boss.
            c = mix(iron * (0.85 + 0.3 * tint), rust, 0.5 * smoothstep(0.0, 0.5, rustField));
            h = 0.6 * grain - pits;
            gloss = 0.2;
        } else if (std::hypot(u - kJointBossTopU, v - kJointBossTopV) < 0.05) {
            c = mix(iron, rust, 0.4);
            h = 0.5 * grain;
            gloss = 0.2;
        } else {
            // Bolts, nuts and the plug: zinc-plated steel gone dull, with grime.
            double grimy = smoothstep(-0.2, 0.5, rustField);
            c = mix(zinc * (0.9 + 0.2 * tint), Colour{0.20, 0.17, 0.13}, 0.55 * grimy);
            // Darkened edges between the unrolled hexagon faces.
            if (v < kJointBoltEndUv.v1 + 0.01 && u < kJointHexSideUv.u1) {
                double face = fract((u - kJointHexSideUv.u0) / (kJointHexSideUv.u1 - kJointHexSideUv.u0) * 6);
                c = c * (0.75 + 0.25 * smoothstep(0.0, 0.12, std::min(face, 1 - face)));
            }
            h = 0.3 * grain;
            gloss = 0.6 - 0.4 * grimy;
        }
        p.colour[i] = c;
        p.height[i] = h;
        p.gloss[i] = gloss;
    });
    return p;
}

Picture paintValveHandle(int size) {
    Picture p(size);
    const Colour red{0.62, 0.06, 0.04}, steel{0.52, 0.52, 0.53}, brass{0.62, 0.46, 0.20};
    auto in = [](const UvRect& r, double u, double v) { return u >= r.u0 - 0.01 && u <= r.u1 + 0.01 && v >= r.v0 - 0.01 && v <= r.v1 + 0.01; };
    forEachTexel(p, [&](double u, double v, size_t i) {
        double grain = fbm(u, v, 96, 2, 51);
        double tint = fbm(u, v, 8, 3, 52);
        double dirt = smoothstep(0.0, 0.6, fbm(u, v, 5, 4, 53));
        Colour c = red * (0.9 + 0.2 * tint);
        double h = 0.2 * grain, gloss = 0.5;
        double worn = 0;

        if (in(kHandleRimUv, u, v) && v < kHandleRimUv.v1 + 0.01) {
            // Around the rim (a) and around its tube (b): hands wear the paint off
            // on the outside and the front of the rim, in patches along it.
            double a = (u - kHandleRimUv.u0) / (kHandleRimUv.u1 - kHandleRimUv.u0);
            double b = (v - kHandleRimUv.v0) / (kHandleRimUv.v1 - kHandleRimUv.v0);
            double grip = 0.5 + 0.5 * std::cos(kTau * (b - 0.85));
            double patches = fbm(a, b, 12, 4, 54);
            worn = smoothstep(0.55, 0.75, grip * 0.55 + 0.9 * patches);
        } else if (in(kHandleSpokeUv, u, v) || in(kHandleHubUv, u, v)) {
            worn = smoothstep(0.45, 0.6, fbm(u, v, 10, 4, 55)) * 0.8;
        } else if (std::hypot(u - kHandleCapU, v - kHandleCapV) < 0.11) {
            // Hub cap with a raised ring.
            double r = std::hypot(u - kHandleCapU, v - kHandleCapV) / kHandleCapScale;  // units
            h += 1.0 * std::exp(-std::pow((r - 0.85) * 8, 2));
            worn = 0.6 * std::exp(-std::pow((r - 0.85) * 6, 2));
        } else if (in(kHandleStemUv, u, v)) {
            // Bare stem with its thread.
            c = steel * (0.85 + 0.2 * tint);
            h = 0.8 * std::sin(v * size * 1.6);
            gloss = 0.65;
        } else {
            // Brass packing nut.
            c = brass * (0.85 + 0.3 * tint);
            h = 0.3 * grain;
            gloss = 0.75;
        }
        if (worn > 0) {
            c = mix(c, steel * (0.9 + 0.2 * tint), worn);
            h -= 0.6 * worn;
            gloss = mix(gloss, 0.85, worn);
        }
        c = mix(c, Colour{0.10, 0.07, 0.05}, 0.3 * dirt * (1 - worn));
        p.colour[i] = c;
        p.height[i] = h;
        p.gloss[i] = clamp01(gloss - 0.2 * dirt);
    });
    return p;
}

}  // namespace indoor

#include <algorithm>
#include <cmath>

#include "tools/outdoor_textures/materials.h"
#include "tools/outdoor_textures/paint.h"

namespace outdoor {

using namespace gen;

Picture paintMoss(int size) {
    Picture p(size);
    // Winter moss: dark olive cushions, browner where old, frost caught on the
    // frond tips. Every patch of moss in the set takes the whole picture once,
    // so towards the picture's border (the patch's edge) the moss thins out into
    // frosted soil of the ground's own colour, in a lacy, broken line.
    const Colour deep{0.08, 0.09, 0.065}, moss{0.18, 0.20, 0.135}, tips{0.29, 0.30, 0.21}, old{0.22, 0.20, 0.14};
    const Colour soil{0.36, 0.37, 0.31}, frost{0.74, 0.77, 0.80};
    forEachTexel(p, [&](double u, double v, size_t i) {
        // Cushions of uneven size (cells warped by noise) made of tiny fronds.
        const double wu = u + 0.05 * fbm(u, v, 4, 3, 804u), wv = v + 0.05 * fbm(u, v, 4, 3, 805u);
        const double cushion = 1.0 - std::min(1.0, cellDistance(fract(wu), fract(wv), 7, 801u) * 1.1);
        const double fronds = fbm(u, v, 64, 3, 802u);
        const double patch = fbm(u, v, 4, 4, 803u);
        // Distance to the patch's edge, roughened so the moss ends in tufts.
        const double edge = std::min(toWhole(u), toWhole(v)) + 0.07 * fbm(u, v, 8, 3, 806u) + 0.04 * fbm(u, v, 32, 2, 808u);
        const double growth = smoothstep(0.04, 0.2, edge) * smoothstep(0.1, 0.3, 0.6 * cushion + 0.3 + 0.3 * patch);
        p.height[i] = (2.0 * cushion + 1.5 * fronds) * growth;
        Colour c = mix(deep, moss, smoothstep(0.0, 0.9, 0.6 * cushion + 0.4 * patch + 0.3));
        c = mix(c, old, 0.5 * smoothstep(0.1, 0.6, fbm(u, v, 6, 3, 807u)));
        c = mix(c, tips, smoothstep(0.2, 0.8, fronds) * 0.3);
        c = mix(soil * (0.9 + 0.2 * patch), c, growth);
        // Hoar frost on the cushions' crowns, and a dusting over the thin edge.
        const double rime = smoothstep(0.5, 0.95, cushion * 0.5 + fronds * 0.5 + 0.4 * patch) * 0.3 + 0.3 * (1.0 - growth);
        c = mix(c, frost, rime * (0.6 + 0.4 * smoothstep(-0.2, 0.4, fronds)));
        p.colour[i] = c;
    });
    shadeRelief(p, 1.0);
    return p;
}

Picture paintFrostyGrass(int size) {
    Picture p(size);
    const Colour soil{0.27, 0.25, 0.19}, green{0.27, 0.35, 0.18}, olive{0.40, 0.42, 0.24}, straw{0.56, 0.53, 0.38};
    const Colour frost{0.80, 0.84, 0.88};
    // Short blade strokes scattered over the tile, each leaning its own way and
    // each with its own colour, rimed towards its tip.
    std::vector<double> blades(size_t(size) * size, 0.0), tip(size_t(size) * size, 0.0), tone(size_t(size) * size, 0.0);
    Random random(901u);
    const int strokes = size * size / 5;
    for (int s = 0; s < strokes; ++s) {
        const double x = random.next() * size, y = random.next() * size;
        const double angle = 1.57 + 1.4 * (random.next() - 0.5), length = 4 + 9 * random.next(), shade = random.next();
        for (double t = 0; t < length; t += 0.6) {
            const int px = int(x + std::cos(angle) * t), py = int(y + std::sin(angle) * t);
            const size_t index = size_t(((py % size) + size) % size) * size + ((px % size) + size) % size;
            const double along = t / length;
            if (along >= blades[index]) {
                blades[index] = 0.35 + 0.65 * along;
                tip[index] = smoothstep(0.5, 1.0, along);
                tone[index] = shade;
            }
        }
    }
    forEachTexel(p, [&](double u, double v, size_t i) {
        const double patch = fbm(u, v, 4, 5, 902u), dry = fbm(u, v, 8, 4, 903u), rime = fbm(u, v, 6, 4, 904u);
        Colour grass = mix(mix(green, olive, tone[i]), straw, smoothstep(0.0, 0.6, dry + 0.3 * tone[i] - 0.2));
        Colour c = blades[i] > 0 ? mix(soil, grass, 0.45 + 0.55 * blades[i]) : soil * (0.9 + 0.2 * patch);
        c = c * (0.88 + 0.24 * patch);
        // Hoar frost: rime on every blade's tip, thicker in soft patches.
        const double cover = 0.25 + 0.35 * smoothstep(-0.3, 0.5, rime);
        c = mix(c, frost, std::min(0.8, cover * (0.35 + 0.9 * tip[i])));
        p.height[i] = 2.5 * blades[i] + 0.8 * patch;
        p.colour[i] = c;
    });
    shadeRelief(p, 0.9);
    return p;
}

namespace {

// A banana leaf's lamina around a midrib at `midrib` (u), seen along v: pale
// midrib, fine parallel veins leaving it at a slant towards the tip, the blade
// lighter near the midrib and yellowing or drying towards the margin.
struct LeafLook {
    Colour vein, lamina, margin, rib, dry;
    double midrib, ribWidth, veinsPerRepeat, halfWidth;
    bool wrapU;
    double dryness;
    uint32_t seed;
};

void paintLeaf(Picture& p, const LeafLook& look) {
    forEachTexel(p, [&](double u, double v, size_t i) {
        double d = u - look.midrib;
        if (look.wrapU) d -= std::floor(d + 0.5);
        const double across = std::min(1.0, std::fabs(d) / look.halfWidth);
        // Lateral veins: lines of constant (v - slant * distance), the slant
        // taking them towards the tip as they leave the midrib.
        const double veinPhase = (v - 0.35 * std::fabs(d)) * look.veinsPerRepeat + 0.3 * fbm(u, v, 8, 2, look.seed);
        const double vein = smoothstep(0.16, 0.0, toWhole(veinPhase));
        const double mottle = fbm(u, v, 6, 4, look.seed + 1);
        Colour c = mix(look.lamina, look.margin, smoothstep(0.2, 1.0, across) * 0.7 + 0.15 * mottle);
        c = mix(c, look.vein, 0.45 * vein);
        c = c * (0.92 + 0.16 * fbm(u, v, 32, 3, look.seed + 2));
        // Dry, torn-looking brown along the margins in patches.
        const double dry = look.dryness * smoothstep(0.55, 0.95, across + 0.35 * fbm(u, v, 5, 4, look.seed + 3));
        c = mix(c, look.dry, dry);
        const double rib = smoothstep(look.ribWidth, look.ribWidth * 0.4, std::fabs(d));
        c = mix(c, look.rib, rib);
        p.height[i] = 1.5 * rib - 0.6 * vein;
        p.colour[i] = c;
    });
    shadeRelief(p, 0.8);
}

}  // namespace

Picture paintYoungBananaLeaf(int size) {
    Picture p(size);
    paintLeaf(p, {{0.42, 0.62, 0.22}, {0.34, 0.56, 0.16}, {0.50, 0.66, 0.24}, {0.74, 0.80, 0.46}, {0.55, 0.45, 0.22},
                  0.5, 0.012, 60, 0.19, false, 0.0, 1001u});
    return p;
}

Picture paintBananaLeaf(int size) {
    Picture p(size);
    paintLeaf(p, {{0.20, 0.38, 0.12}, {0.17, 0.36, 0.10}, {0.30, 0.44, 0.15}, {0.62, 0.68, 0.38}, {0.48, 0.38, 0.20},
                  0.125, 0.014, 40, 0.595, true, 0.8, 1101u});
    return p;
}

Picture paintBananaStem(int size) {
    Picture p(size);
    const Colour young{0.48, 0.56, 0.28}, old{0.45, 0.40, 0.26}, blotch{0.22, 0.16, 0.12}, fibre{0.60, 0.62, 0.40};
    forEachTexel(p, [&](double u, double v, size_t i) {
        // Around the stem the pattern repeats every 0.36 in u.
        const double a = fract((u - 0.28) / 0.36);
        // Fibres run up the stem: a pattern across it, slowly changing along it.
        const double fibres = 0.7 * fbm(a, 0.5, 48, 3, 1201u) + 0.3 * fbm(a, v, 16, 2, 1206u);
        // Sheath edges spiral up the stem; below each edge a shadow.
        const double sheath = fract(a * 2 + v * 2 + 0.1 * fbm(a, v, 4, 2, 1202u));
        const double shadow = smoothstep(0.0, 0.08, sheath) * smoothstep(0.0, 0.15, 1 - sheath);
        const double age = smoothstep(-0.3, 0.5, fbm(a, v, 3, 4, 1203u));
        Colour c = mix(young, old, age);
        c = mix(c, fibre, smoothstep(0.1, 0.6, fibres) * 0.4);
        const double spots = smoothstep(0.18, 0.08, cellDistance(a, v, 7, 1204u)) * smoothstep(-0.1, 0.4, fbm(a, v, 5, 3, 1205u));
        c = mix(c, blotch, 0.7 * spots);
        c = c * (0.55 + 0.45 * shadow);
        p.height[i] = 1.5 * fibres + 2.0 * sheath;
        p.colour[i] = c;
    });
    shadeRelief(p, 0.5);
    return p;
}

}  // namespace outdoor

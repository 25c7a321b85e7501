#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/outdoor_textures/materials.h"
#include "tools/outdoor_textures/paint.h"

namespace outdoor {

using namespace gen;

namespace {

// Stones laid in courses of different heights: for each course its top (the
// bottom of the next) and its stones' left edges in [0, 1).
struct Courses {
    int count;
    std::vector<double> tops;
    std::vector<std::vector<double>> joints;
    Courses(int count_, double minWidth, double maxWidth, uint32_t seed) : count(count_), joints(count_) {
        Random random(seed);
        double sum = 0;
        for (int c = 0; c < count; ++c) tops.push_back(sum += 0.6 + 0.8 * random.next());
        for (double& top : tops) top /= sum;
        for (auto& course : joints) {
            double x = random.next();
            const double start = x;
            // Stones until the course closes on itself; the last one takes up the rest.
            while (x < start + 1.0 - minWidth) {
                course.push_back(fract(x));
                x += minWidth + (maxWidth - minWidth) * random.next();
            }
            std::sort(course.begin(), course.end());
        }
    }
    // The stone at (u, v): its course, its index, the distance to the nearest
    // joint in tile units (vertical joints scaled by `aspect`), and where in the
    // stone the point lies (0..1 across, 0..1 up).
    struct Hit {
        int course, stone;
        double jointDistance, fx, fy;
    };
    Hit at(double u, double v, double aspect) const {
        const int c = std::min(count - 1, int(std::upper_bound(tops.begin(), tops.end(), v) - tops.begin()));
        const double bottom = c == 0 ? 0.0 : tops[c - 1], height = tops[c] - bottom;
        const double fy = (v - bottom) / height;
        const auto& js = joints[c];
        int s = int(std::upper_bound(js.begin(), js.end(), u) - js.begin()) - 1;
        if (s < 0) s = int(js.size()) - 1;
        const double left = js[s], right = js[(s + 1) % js.size()];
        const double dl = fract(u - left), dr = fract(right - u);
        const double width = fract(right - left) == 0 ? 1.0 : fract(right - left);
        const double vertical = std::min(dl, dr) * aspect;
        const double horizontal = std::min(fy, 1 - fy) * height;
        return {c, s, std::min(vertical, horizontal), dl / width, fy};
    }
};

uint32_t stoneSeed(int course, int stone) { return uint32_t(course * 131 + stone * 7 + 1); }

}  // namespace

Picture paintWallStone(int size) {
    Picture p(size);
    const Courses courses(9, 0.12, 0.36, 501u);
    const Colour palette[4] = {{0.52, 0.49, 0.45}, {0.46, 0.45, 0.44}, {0.58, 0.54, 0.47}, {0.43, 0.40, 0.37}};
    const Colour mortar{0.62, 0.60, 0.56}, lichen{0.62, 0.63, 0.45}, soot{0.22, 0.22, 0.22}, frost{0.88, 0.90, 0.94};
    forEachTexel(p, [&](double u, double v, size_t i) {
        // Joints wander a little: hewn stones, not bricks.
        // The pattern is moved off the picture's edges so no joint runs along the wrap.
        const double wu = u + 0.37 + 0.012 * fbm(u, v, 8, 3, 507u), wv = v + 0.05 + 0.010 * fbm(u, v, 8, 3, 508u);
        const auto hit = courses.at(fract(wu), fract(wv), 0.95);
        Random random(stoneSeed(hit.course, hit.stone));
        const double tone = random.next(), bulge = 0.6 + 0.4 * random.next();
        const Colour base = mix(palette[int(tone * 4) % 4], palette[(int(tone * 4) + 1) % 4], random.next());
        const double rough = fbm(u, v, 16, 5, 502u);
        const double edge = smoothstep(0.002, 0.014 + 0.006 * rough, hit.jointDistance);
        // Rough-hewn faces: domed, pitted, chipped at the arrises.
        const double dome = std::sin(std::min(1.0, hit.fx) * 3.14159) * std::sin(hit.fy * 3.14159);
        p.height[i] = edge * (2.5 + 1.5 * bulge * dome + 1.2 * rough) + 0.4 * fbm(u, v, 64, 2, 503u);
        Colour c = mix(base, base * 0.8, smoothstep(-0.3, 0.5, rough));
        // Rain streaks running down the wall, lichen spots, soot in the joints.
        // Streaks: a pattern across u only, fading in and out down the wall.
        const double streak = smoothstep(0.1, 0.5, fbm(u, 0.5, 24, 3, 504u) * 1.2) * smoothstep(-0.4, 0.3, fbm(u, v, 3, 3, 509u));
        c = mix(c, c * 0.72, 0.6 * streak);
        const double spots = smoothstep(0.12, 0.05, cellDistance(u, v, 20, 505u)) * smoothstep(0.0, 0.4, fbm(u, v, 4, 3, 506u));
        c = mix(c, lichen, 0.6 * spots);
        c = mix(mortar * (0.9 + 0.1 * rough), c, edge);
        c = mix(c, soot, 0.25 * (1 - edge));
        // Frost caught on the upper edges of the stones.
        const double topEdge = smoothstep(0.85, 0.97, hit.fy) * edge;
        c = mix(c, frost, 0.45 * topEdge * smoothstep(-0.2, 0.3, rough));
        p.colour[i] = c;
    });
    shadeRelief(p, 1.6);
    return p;
}

Picture paintPoolStone(int size) {
    Picture p(size);
    const Colour a{0.70, 0.68, 0.62}, b{0.62, 0.62, 0.58}, algae{0.40, 0.47, 0.36}, joint{0.45, 0.44, 0.41};
    forEachTexel(p, [&](double u, double v, size_t i) {
        // Four blocks across, two up, every other course offset by half a block.
        // Off the picture's edges: no joint runs along the wrap.
        const double bv = v * 2 + 0.25;
        const int row = int(bv) % 2;
        const double bu = u * 4 + 0.25 + (row ? 0.5 : 0.0);
        const int column = int(std::floor(bu)) & 3;
        const double ju = toWhole(bu) / 4, jv = toWhole(bv) / 2 * 0.38;  // the texture is stretched 2.7x along u
        const double j = std::min(ju, jv);
        Random random(uint32_t(int(bv) % 2 * 17 + column + 3));
        const double rough = fbm(u, v, 12, 5, 601u);
        const double edge = smoothstep(0.002, 0.008, j);
        p.height[i] = edge * (2.0 + rough) ;
        Colour c = mix(a, b, random.next()) * (0.92 + 0.12 * rough);
        const double stain = smoothstep(0.0, 0.6, fbm(u, v, 6, 4, 602u) + 0.1);
        c = mix(c, algae, 0.35 * stain);
        p.colour[i] = mix(joint, c, edge);
    });
    shadeRelief(p, 1.2);
    return p;
}

Picture paintPoolTiles(int size) {
    Picture p(size);
    const Colour glaze{0.72, 0.86, 0.88}, pale{0.85, 0.92, 0.92}, grout{0.58, 0.60, 0.58}, stain{0.45, 0.55, 0.50};
    const int tiles = 12;
    forEachTexel(p, [&](double u, double v, size_t i) {
        const double tu = u * tiles, tv = v * tiles;
        const double j = std::min(toWhole(tu), toWhole(tv)) / tiles;
        Random random(uint32_t(int(tu) * 31 + int(tv) + 7));
        const double edge = smoothstep(0.0015, 0.006, j);
        p.height[i] = 2.0 * edge;
        Colour c = mix(glaze, pale, 0.5 * random.next());
        c = mix(c, stain, 0.3 * smoothstep(0.0, 0.7, fbm(u, v, 5, 5, 701u)));
        p.colour[i] = mix(grout, c, edge);
    });
    shadeRelief(p, 1.0);
    return p;
}

}  // namespace outdoor

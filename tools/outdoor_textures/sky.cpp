#include <algorithm>
#include <cmath>

#include "tools/outdoor_textures/materials.h"
#include "tools/outdoor_textures/paint.h"

namespace outdoor {

using namespace gen;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHorizon = 0.42;  // texture distance of the horizon from the zenith (the dome's projection)
// The sun stands low in the south-east, behind the cloud deck (towards the
// light the shadows are cast from): azimuth from +x towards +z, elevation.
constexpr double kSunAzimuth = -45.0 * kPi / 180.0;
constexpr double kSunElevation = 22.0 * kPi / 180.0;
// The cloud deck's noise lattice repeats only after this many cells, far beyond
// the horizon's reach, so the deck never shows a repeat.
constexpr int kLayerPeriod = 1 << 16;

// Fractal noise on the cloud layer, band-limited to what one texel can show:
// `footprint` is the stretch of the layer one texel covers, and every octave
// whose waves are not at least two texels long fades to the mean (0) instead of
// aliasing into streaks. Towards the horizon, where the layer's perspective
// crowds ever more of it into each texel, the deck thus turns smoothly into an
// even overcast.
double layerFbm(double x, double y, double frequency, int octaves, uint32_t seed, double footprint) {
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const double resolved = 1.0 - smoothstep(0.2, 0.5, footprint * frequency);
        if (resolved > 0) sum += resolved * amplitude * noise(x * frequency, y * frequency, kLayerPeriod, seed + 7919u * o);
        norm += amplitude;
        amplitude *= 0.5;
        frequency *= 2;
    }
    return sum / norm;
}

}  // namespace

Picture paintSky(int size) {
    Picture p(size);
    const Colour zenith{0.55, 0.60, 0.68}, high{0.66, 0.70, 0.76}, haze{0.84, 0.85, 0.87}, below{0.78, 0.79, 0.81};
    const Colour cloudLight{0.90, 0.90, 0.91}, cloudShade{0.52, 0.55, 0.61}, glow{1.0, 0.93, 0.80};
    // Elevation covered by one texel along the radius; a layer unit away is kLayerScale texture tiles of noise.
    const double texelElevation = 0.5 * kPi / (kHorizon * p.size);
    constexpr double kLayerScale = 0.3;
    forEachTexel(p, [&](double u, double v, size_t i) {
        const double du = u - 0.5, dv = v - 0.5;
        const double r = std::hypot(du, dv);
        const double azimuth = std::atan2(dv, du);
        const double elevation = (1.0 - r / kHorizon) * 0.5 * kPi;  // below 0 under the horizon
        // Base gradient: grey-blue overhead to pale haze at the horizon.
        const double e01 = std::clamp(elevation / (0.5 * kPi), 0.0, 1.0);
        Colour c = mix(haze, mix(high, zenith, smoothstep(0.3, 1.0, e01)), smoothstep(0.0, 0.35, e01));
        if (elevation < 0) c = mix(haze, below, smoothstep(0.0, -0.2, elevation));
        // The cloud deck: a layer at a fixed height, seen in perspective, so its
        // features shrink towards the horizon. Noise taken on the layer itself,
        // at the point the view of this texel meets it (`reach` times the height
        // of the layer away), filtered to the texel's footprint there: along the
        // radius one texel spans texelElevation of elevation, across it one
        // texel of arc at this radius.
        const double e = std::max(elevation, 0.004);
        const double reach = 1.0 / std::tan(e);
        const double radialFootprint = kLayerScale * texelElevation / (std::sin(e) * std::sin(e));
        const double arcFootprint = kLayerScale * reach / (std::max(r, 1e-6) * p.size);
        const double footprint = std::max(radialFootprint, arcFootprint);
        const double cx = 0.5 + kLayerScale * reach * std::cos(azimuth), cy = 0.5 + kLayerScale * reach * std::sin(azimuth);
        const double billows = layerFbm(cx, cy, 4, 6, 301u, footprint);
        // Drawn-out streaks: their lattice is stretched up to 1.4 times, so their footprint is too.
        const double streaks = layerFbm(cx * 0.5 + cy * 0.2, cy * 1.4, 3, 4, 302u, 1.4 * footprint);
        const double cover = smoothstep(-0.35, 0.45, billows + 0.35 * streaks);
        const double fine = layerFbm(cx * 3, cy * 3, 8, 3, 303u, 3 * footprint);
        Colour cloud = mix(cloudShade, cloudLight, smoothstep(-0.4, 0.6, billows * 0.8 + fine * 0.5));
        // Clouds thin out into the haze near the horizon.
        const double deck = (0.75 * cover + 0.15) * smoothstep(-0.02, 0.25, elevation);
        c = mix(c, cloud, deck);
        // Diffuse glow of the low sun through the clouds.
        const double sx = std::cos(kSunElevation) * std::cos(kSunAzimuth), sz = std::cos(kSunElevation) * std::sin(kSunAzimuth),
                     sy = std::sin(kSunElevation);
        const double ce = std::max(elevation, 0.0);
        const double px = std::cos(ce) * std::cos(azimuth), pz = std::cos(ce) * std::sin(azimuth), py = std::sin(ce);
        const double towardSun = std::max(0.0, px * sx + py * sy + pz * sz);
        const double sun = 0.35 * std::pow(towardSun, 6.0) + 0.4 * std::pow(towardSun, 60.0) * (1.0 - 0.6 * cover);
        c = mix(c, glow, std::min(1.0, sun));
        p.colour[i] = c;
    });
    return p;
}

}  // namespace outdoor

// An off-screen framebuffer object of a fixed size with a colour texture and a
// depth texture attached, and the operations that bracket drawing into it from a
// viewpoint.
//
// A capture puts the whole view (perspective 45 degrees, the target's aspect, near
// 1, far 500, then the look-at) into the modelview matrix and leaves the projection
// at identity; users multiply projectionMatrix x modelviewMatrix to get the
// view-projection. Every capture ends by clearing the window, so all captures of a
// frame come before its main view. Captures do not nest.
//
// After endCapture: framebuffer 0, the viewport from before beginCapture, depth
// test on with GL_LESS, culling off, projection identity, modelview holding the
// capture's view, matrix mode modelview. The clipped form also leaves clip plane 0
// off again.
#pragma once

#include "math/matrix4.h"
#include "math/vec3.h"

class RenderTarget {
public:
    // Creates the framebuffer and both textures; an incomplete framebuffer is logged
    // and the target is kept (captures then still bind it).
    RenderTarget(int width, int height);
    // Leaves the GL objects alone: the owner calls release() first, while the
    // context is current.
    virtual ~RenderTarget() = default;
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Deletes colorTexture, then depthTexture, then frameBuffer; a second call does nothing.
    void release();

    void beginCapture(const Vec3& eye, const Vec3& centre, const Vec3& up);
    void endCapture();
    // A capture that keeps only what lies where a x + b y + c z + d >= 0 (world
    // coordinates), through user clip plane 0.
    void beginClippedCapture(const Vec3& eye, const Vec3& centre, const Vec3& up, double a, double b, double c,
                             double d);
    void beginClippedCapture(const Vec3& eye, const Vec3& centre, const Vec3& up, const double plane[4]);
    void endClippedCapture();

    int width;
    int height;
    unsigned frameBuffer = 0;
    unsigned colorTexture = 0;  // GL_RGBA8, linear filtering, clamped, no mipmaps
    unsigned depthTexture = 0;  // GL_DEPTH_COMPONENT16, nearest filtering, clamped, no mipmaps
    Matrix4 projectionMatrix;   // read back at the end of the last beginCapture: the identity
    Matrix4 modelviewMatrix;    // read back at the end of the last beginCapture: perspective x look-at
};

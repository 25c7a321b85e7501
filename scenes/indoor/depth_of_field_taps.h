// The depth-of-field filter's sample pattern: 12 points on the unit disc. The
// filter receives each coordinate divided by 2048 and scales it back to a radius
// in texels itself.
#pragma once

constexpr int depthOfFieldTapCount = 12;
constexpr double depthOfFieldTaps[depthOfFieldTapCount][2] = {
    {-0.326212, -0.405810}, {-0.840144, -0.073580}, {-0.695914, 0.457137}, {-0.203345, 0.620716},
    {0.962340, -0.194983},  {0.473434, -0.480026},  {0.519456, 0.767022},  {0.185461, -0.893124},
    {0.507431, 0.064425},   {0.896420, 0.412458},   {-0.321940, -0.932615}, {-0.791559, -0.597710},
};
constexpr double depthOfFieldTapScale = 1.0 / 2048.0;

// The parts of the indoor set's compiled-in model: consecutive runs of the
// triangle list, each drawn with its own diffuse texture and normal map.
#pragma once

struct ModelPart {
    int firstTriangle;
    int triangleCount;
    const char* diffuseTexture;
    const char* normalTexture;
};

constexpr int modelPartCount = 4;
extern const ModelPart modelParts[modelPartCount];

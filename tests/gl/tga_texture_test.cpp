// Mipmapped textures from TGA images: the uploaded chain, its parameters, alpha, rescaling and failed images.
#include <gtest/gtest.h>

#include <vector>

#include "support/tga_file_bytes.h"
#include "support/asset_test_files.h"
#include "assets/tga_image.h"
#include "support/capture.h"
#include "support/gl_test_context.h"

namespace {

using Bytes = std::vector<unsigned char>;

class MipmappedTexture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    // Writes an uncompressed TGA of the given B, G, R (, A) pixels and loads it.
    TgaImage loaded(unsigned width, unsigned height, unsigned bpp, const Bytes& body) {
        TgaImage image;
        EXPECT_TRUE(loadTga(image, scratch.write("texture.tga", tgaFile(width, height, bpp, body)).c_str()));
        return image;
    }

    static GLint parameter(GLenum name) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    static GLint levelParameter(GLint level, GLenum name) {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }

    GlTestContext gl;
    ScratchDirectory scratch;
    MessageBoxRecorder boxes;
};

TEST_F(MipmappedTexture, UploadsARepeatingTrilinearChainAndReleasesThePixels) {
    // 2 x 2 at 24 bits: 6-byte rows, which the default 4-byte unpack alignment would misread.
    TgaImage image = loaded(2, 2, 24, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
    ASSERT_NE(image.pixels, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    createMipmappedTexture(image);

    EXPECT_EQ(image.pixels, nullptr);
    ASSERT_NE(image.textureId, 0u);
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.format, static_cast<uint32_t>(GL_RGB));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), image.textureId) << "the texture stays bound";
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_WIDTH), 1) << "the whole mipmap chain exists";
    EXPECT_EQ(levelParameter(1, GL_TEXTURE_HEIGHT), 1);

    Bytes level0(2 * 2 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, level0.data());
    EXPECT_EQ(level0, (Bytes{30, 20, 10, 60, 50, 40, 90, 80, 70, 120, 110, 100}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the unpack alignment is put back";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MipmappedTexture, KeepsAlphaAndRescalesSizesThatAreNotPowersOfTwo) {
    TgaImage rgba = loaded(1, 1, 32, {1, 2, 3, 99});
    createMipmappedTexture(rgba);
    Bytes texel(4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
    EXPECT_EQ(texel, (Bytes{3, 2, 1, 99}));

    Bytes body;
    for (int i = 0; i < 3 * 5; ++i) body.insert(body.end(), {200, 100, 50});
    TgaImage odd = loaded(3, 5, 24, body);
    createMipmappedTexture(odd);
    GLint width = levelParameter(0, GL_TEXTURE_WIDTH), height = levelParameter(0, GL_TEXTURE_HEIGHT);
    EXPECT_EQ(width & (width - 1), 0) << width;
    EXPECT_EQ(height & (height - 1), 0) << height;
    Bytes texels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    for (size_t i = 0; i < texels.size(); i += 3) {
        ASSERT_EQ(texels[i], 50);
        ASSERT_EQ(texels[i + 1], 100);
        ASSERT_EQ(texels[i + 2], 200);
    }
    EXPECT_NE(rgba.textureId, odd.textureId);
}

TEST_F(MipmappedTexture, AFailedImageGetsNoTexture) {
    TgaImage image;
    EXPECT_FALSE(loadTga(image, scratch.file("absent.tga").c_str()));
    GLint boundBefore = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundBefore);
    createMipmappedTexture(image);
    createMipmappedTexture(nullptr);
    EXPECT_EQ(image.textureId, 0u);
    GLint boundAfter = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundAfter);
    EXPECT_EQ(boundAfter, boundBefore);
}

}  // namespace

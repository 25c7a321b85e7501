// The TGA reader: uncompressed and run-length pixels, row order, files from other programs, and damaged files.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/asset_test_files.h"
#include "assets/tga_image.h"
#include "support/capture.h"
#include "support/tga_file_bytes.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class TgaReader : public ::testing::Test {
protected:
    // Loads `bytes` from a file; the image starts with a texture name that must survive.
    bool load(const Bytes& bytes) {
        releasePixels(image);
        image = TgaImage();
        image.textureId = 77;
        return loadTga(image, scratch.write("image.tga", bytes).c_str());
    }

    Bytes pixels() const {
        size_t size = static_cast<size_t>(image.bpp / 8) * image.width * image.height;
        return image.pixels ? Bytes(image.pixels, image.pixels + size) : Bytes();
    }

    // The load failed with exactly one box, `text` with `caption`, and left nothing behind.
    void expectFailure(bool loaded, const std::string& text, const std::string& caption = "ERROR") {
        EXPECT_FALSE(loaded);
        EXPECT_EQ(image.pixels, nullptr);
        EXPECT_EQ(image.textureId, 77u);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, text);
        EXPECT_EQ(boxes.boxes[0].caption, caption);
        EXPECT_EQ(boxes.boxes[0].type & 0xFu, MB_OK);
        boxes.boxes.clear();
    }

    void TearDown() override { releasePixels(image); }

    ScratchDirectory scratch;
    MessageBoxRecorder boxes;
    TgaImage image;
};

TEST_F(TgaReader, UncompressedPixelsTurnIntoRgbOrRgbaWithAlphaKept) {
    ASSERT_TRUE(load(tgaHeader(2, 1, 1, 24) + Bytes{10, 20, 30}));
    EXPECT_EQ(image.width, 1u);
    EXPECT_EQ(image.height, 1u);
    EXPECT_EQ(image.bpp, 24u);
    EXPECT_EQ(image.format, static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(image.textureId, 77u) << "the reader leaves the texture name alone";
    EXPECT_EQ(pixels(), (Bytes{30, 20, 10}));

    ASSERT_TRUE(load(tgaHeader(2, 2, 1, 32) + Bytes{1, 2, 3, 200, 4, 5, 6, 0}));
    EXPECT_EQ(image.format, static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(pixels(), (Bytes{3, 2, 1, 200, 6, 5, 4, 0}));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TgaReader, RowsComeInFileOrderWhateverTheDescriptorSays) {
    Bytes body{1, 1, 1, 2, 2, 2};  // row 0, then row 1
    for (unsigned char descriptor : {0x00, 0x20, 0x28, 0xFF}) {
        ASSERT_TRUE(load(tgaHeader(2, 1, 2, 24, descriptor) + body)) << int(descriptor);
        EXPECT_EQ(pixels(), (Bytes{1, 1, 1, 2, 2, 2})) << int(descriptor);
    }
}

TEST_F(TgaReader, RunLengthPacketsExpandAndNothingAfterTheLastPixelIsRead) {
    ASSERT_TRUE(load(tgaHeader(10, 2, 2, 24) + Bytes{0x83, 1, 2, 3}));
    EXPECT_EQ(pixels(), (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}));

    // A raw packet of two pixels, then a run of one; the trailing bytes would be a
    // packet header of 255 copies if they were read.
    ASSERT_TRUE(load(tgaHeader(10, 3, 1, 32) + Bytes{0x01, 1, 2, 3, 4, 5, 6, 7, 8, 0x80, 9, 10, 11, 12, 0xFF, 0, 0}));
    EXPECT_EQ(pixels(), (Bytes{3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12}));

    // Runs of the full 128 pixels.
    ASSERT_TRUE(load(tgaHeader(10, 256, 1, 24) + Bytes{0xFF, 9, 8, 7, 0xFF, 6, 5, 4}));
    Bytes expected;
    for (int i = 0; i < 256; ++i) expected = expected + (i < 128 ? Bytes{7, 8, 9} : Bytes{4, 5, 6});
    EXPECT_EQ(pixels(), expected);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TgaReader, PacketsReachingPastTheLastPixelFail) {
    expectFailure(load(tgaHeader(10, 2, 1, 24) + Bytes{0x82, 1, 2, 3}), "Too many pixels read");
    expectFailure(load(tgaHeader(10, 2, 1, 24) + Bytes{0x00, 1, 2, 3, 0x81, 4, 5, 6}), "Too many pixels read");
    expectFailure(load(tgaHeader(10, 2, 1, 24) + Bytes{0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9}), "Too many pixels read");
}

TEST_F(TgaReader, RejectsHeadersOtherThanPlainTrueColour) {
    const std::string wrongType = "TGA file be type 2 or type 10 ";
    const Bytes body{1, 2, 3};
    for (int offset : {0, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
        Bytes bytes = tgaHeader(2, 1, 1, 24) + body;
        bytes[offset] = 1;  // an image ID, a colour map, a colour-map field or an origin
        expectFailure(load(bytes), wrongType, "Invalid Image");
    }
    for (unsigned char type : {0, 1, 3, 9, 11, 32}) expectFailure(load(tgaHeader(type, 1, 1, 24) + body), wrongType, "Invalid Image");
}

TEST_F(TgaReader, RejectsSizesAndDepthsItCannotHold) {
    for (unsigned char type : {2, 10}) {
        for (unsigned char bpp : {0, 8, 15, 16, 25, 31, 33}) {
            expectFailure(load(tgaHeader(type, 1, 1, bpp) + Bytes(16, 0)), "Invalid texture information");
        }
        expectFailure(load(tgaHeader(type, 0, 1, 24) + Bytes(16, 0)), "Invalid texture information");
        expectFailure(load(tgaHeader(type, 1, 0, 24) + Bytes(16, 0)), "Invalid texture information");
    }
}

TEST_F(TgaReader, EachTruncationHasItsOwnMessage) {
    image.textureId = 77;
    expectFailure(loadTga(image, scratch.file("absent.tga").c_str()), "Could not open texture file");
    expectFailure(load(Bytes{0, 0, 2, 0, 0}), "Could not read file header");
    expectFailure(load(Bytes{}), "Could not read file header");
    const Bytes full = tgaHeader(2, 1, 1, 24);
    expectFailure(load(Bytes(full.begin(), full.begin() + 15)), "Could not read info header");
    expectFailure(load(tgaHeader(2, 2, 1, 24) + Bytes{1, 2, 3, 4, 5}), "Could not read image data");
    expectFailure(load(tgaHeader(2, 1, 1, 32) + Bytes{1, 2, 3}), "Could not read image data");
    expectFailure(load(tgaHeader(10, 3, 1, 24) + Bytes{0x80, 1, 2, 3}), "Could not read RLE header");
    expectFailure(load(tgaHeader(10, 3, 1, 24)), "Could not read RLE header");
    expectFailure(load(tgaHeader(10, 3, 1, 24) + Bytes{0x02, 1, 2, 3, 4, 5}), "Could not read image data");
    expectFailure(load(tgaHeader(10, 3, 1, 24) + Bytes{0x80, 1, 2}), "Could not read from file");
}

TEST_F(TgaReader, HugeHeadersInTinyFilesFailWithoutClaimingTheirSize) {
    struct rusage before;
    getrusage(RUSAGE_SELF, &before);
    // 65535 x 65535 x 4 bytes would be 17 GB.
    expectFailure(load(tgaHeader(2, 65535, 65535, 32)), "Could not read image data");
    expectFailure(load(tgaHeader(2, 65535, 65535, 32) + Bytes(1000, 7)), "Could not read image data");
    expectFailure(load(tgaHeader(10, 65535, 65535, 32)), "Could not read RLE header");
    Bytes runs;
    for (int i = 0; i < 100; ++i) runs = runs + Bytes{0xFF, 1, 2, 3, 4};
    expectFailure(load(tgaHeader(10, 65535, 65535, 32) + runs), "Could not read RLE header");
    expectFailure(load(tgaHeader(10, 65535, 65535, 32) + runs + Bytes{0x05, 1}), "Could not read image data");
    expectFailure(load(tgaHeader(10, 65535, 65535, 24) + runs + Bytes{0xAA, 1}), "Could not read from file");
    // Where the body runs out still decides the message.
    expectFailure(load(tgaHeader(10, 2, 65535, 24) + Bytes{0x81, 1, 2, 3, 0x00}), "Could not read image data");
    struct rusage after;
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes of resident memory gained";
}

TEST_F(TgaReader, AnImageAlreadyHeldIsReleasedBeforeTheNextLoad) {
    ASSERT_TRUE(load(tgaHeader(2, 1, 1, 24) + Bytes{1, 2, 3}));
    // A second load into the same record (leak-checked by the sanitizer build).
    EXPECT_TRUE(loadTga(image, scratch.write("second.tga", tgaHeader(2, 1, 1, 24) + Bytes{4, 5, 6}).c_str()));
    EXPECT_EQ(pixels(), (Bytes{6, 5, 4}));
    EXPECT_FALSE(loadTga(image, scratch.file("absent.tga").c_str()));
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_FALSE(loadTga(nullptr, scratch.file("absent.tga").c_str()));
}

// Files written by other programs, compared with those programs' own decoding.
// The reader keeps file row order; both tools decode top row first (as displayed),
// and their files say whether the first stored row is the bottom (descriptor bit 5
// clear).
class ForeignTgaFiles : public TgaReader {
protected:
    void run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

    void expectSameAsDecoded(const std::string& tga, const std::string& rawRgba, unsigned width, unsigned height,
                             unsigned bpp) {
        SCOPED_TRACE(tga);
        releasePixels(image);
        ASSERT_TRUE(loadTga(image, tga.c_str()));
        EXPECT_TRUE(boxes.boxes.empty());
        ASSERT_EQ(image.width, width);
        ASSERT_EQ(image.height, height);
        ASSERT_EQ(image.bpp, bpp);
        const bool bottomFirst = (ScratchDirectory::read(tga).at(17) & 0x20) == 0;
        Bytes reference = ScratchDirectory::read(rawRgba);
        ASSERT_EQ(reference.size(), size_t(width) * height * 4);
        const unsigned b = bpp / 8;
        int mismatches = 0;
        for (unsigned row = 0; row < height; ++row) {
            unsigned referenceRow = bottomFirst ? height - 1 - row : row;
            for (unsigned x = 0; x < width; ++x) {
                for (unsigned c = 0; c < b; ++c) {
                    if (image.pixels[(row * width + x) * b + c] != reference[(referenceRow * width + x) * 4 + c]) ++mismatches;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
};

TEST_F(ForeignTgaFiles, ImageMagickWritesUncompressedAndRunLengthFiles) {
    // Left third in flat blocks (run packets), the rest varying pixel by pixel (raw packets).
    const std::string source = scratch.file("source.png");
    run("/usr/bin/convert -size 29x11 xc: -alpha set"
        " -channel R -fx 'i<10 ? 0.5 : ((i*7+j*3)%11)/10'"
        " -channel G -fx 'j/h' -channel B -fx 'i<10 ? 0.25 : ((i*i+j)%13)/12'"
        " -channel A -fx '((i+j)%4)/3' +channel " + source);
    struct Variant {
        const char* name;
        const char* options;
        unsigned bpp;
    } variants[] = {{"im24.tga", "-type TrueColor", 24},
                    {"im24rle.tga", "-type TrueColor -compress RLE", 24},
                    {"im32.tga", "-type TrueColorAlpha", 32},
                    {"im32rle.tga", "-type TrueColorAlpha -compress RLE", 32}};
    for (const Variant& variant : variants) {
        std::string tga = scratch.file(variant.name);
        std::string raw = tga + ".rgba";
        run(std::string("/usr/bin/convert ") + source + " " + variant.options + " " + tga);
        // ImageMagick keeps a file's row order as metadata; -auto-orient applies it.
        run("/usr/bin/convert " + tga + " -auto-orient -depth 8 rgba:" + raw);
        expectSameAsDecoded(tga, raw, 29, 11, variant.bpp);
    }
    EXPECT_NE(ScratchDirectory::read(scratch.file("im24rle.tga")).at(2), 2) << "ImageMagick wrote type 10";
}

TEST_F(ForeignTgaFiles, PillowWritesFilesWithAFooterAfterThePixels) {
    const std::string script = scratch.write("write.py",
        "import sys\n"
        "from PIL import Image\n"
        "d = sys.argv[1]\n"
        "w, h = 13, 7\n"
        "im = Image.new('RGBA', (w, h))\n"
        "im.putdata([((x * 19) % 256, (y * 37) % 256, (x < 6) * 200, ((x + y) % 4) * 85)"
        " for y in range(h) for x in range(w)])\n"
        "for mode in ('RGB', 'RGBA'):\n"
        "    for name, options in (('', {}), ('rle', {'compression': 'tga_rle'})):\n"
        "        path = '%s/pil%s%s.tga' % (d, mode, name)\n"
        "        im.convert(mode).save(path, **options)\n"
        "        decoded = Image.open(path).convert('RGBA')\n"
        "        open(path + '.rgba', 'wb').write(decoded.tobytes())\n");
    const std::string dir = scratch.file("");
    run("/usr/bin/python3 " + script + " " + dir);
    for (const char* name : {"pilRGB", "pilRGBrle", "pilRGBA", "pilRGBArle"}) {
        std::string tga = dir + name + ".tga";
        unsigned bpp = std::string(name).find("RGBA") != std::string::npos ? 32 : 24;
        expectSameAsDecoded(tga, tga + ".rgba", 13, 7, bpp);
    }
}

}  // namespace

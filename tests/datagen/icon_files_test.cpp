// The program's icon as installed: a PNG at every hicolor size and an SVG,
// each a mark that reads down to 16 pixels: a shaped tile (transparent
// corners) with bright strokes on a dark ground.
#include "datagen/datagen.h"

#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Rgba {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;  // 4 bytes a pixel, top row first
    const std::uint8_t* at(int x, int y) const
    {
        return &pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
    }
};

bool readRgba(const fs::path& file, Rgba* image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, file.c_str())) return false;
    const bool hasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_RGBA;
    image->width = int(png.width);
    image->height = int(png.height);
    image->pixels.assign(PNG_IMAGE_SIZE(png), 0);
    const bool ok = png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok && hasAlpha;
}

} // namespace

TEST(IconFiles, EverySizeIsAShapedMarkOfStrongContrast)
{
    const fs::path dir = fs::temp_directory_path() / ("ng-icons-" + std::to_string(getpid()));
    fs::remove_all(dir);
    ASSERT_TRUE(datagen::writeIcons(dir.string()));

    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string n = std::to_string(size);
        Rgba icon;
        ASSERT_TRUE(readRgba(dir / (n + "x" + n) / "apps/nordglow.png", &icon)) << "no RGBA PNG";
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        for (int corner : {0, size - 1}) {
            EXPECT_EQ(icon.at(corner, 0)[3], 0) << "corners are outside the rounded tile";
            EXPECT_EQ(icon.at(corner, size - 1)[3], 0);
        }
        // Over the opaque tile, the brightest quarter of the pixels (the
        // strokes) stands far above the darkest quarter (the ground): the
        // mark reads, where a picture scaled down turns to a smudge.
        std::vector<int> lumas;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const std::uint8_t* p = icon.at(x, y);
                if (p[3] == 255) lumas.push_back((299 * p[0] + 587 * p[1] + 114 * p[2]) / 1000);
            }
        ASSERT_GT(lumas.size(), std::size_t(size * size / 2));
        std::sort(lumas.begin(), lumas.end());
        const std::size_t quarter = lumas.size() / 4;
        const double darkest = std::accumulate(lumas.begin(), lumas.begin() + long(quarter), 0.0) / double(quarter);
        const double brightest = std::accumulate(lumas.end() - long(quarter), lumas.end(), 0.0) / double(quarter);
        EXPECT_GT(brightest, 190) << "strokes too dim";
        EXPECT_GT(brightest - darkest, 150) << "brightest quarter " << brightest << ", darkest " << darkest;
    }

    std::ifstream svgFile(dir / "scalable/apps/nordglow.svg");
    const std::string svg(std::istreambuf_iterator<char>(svgFile), {});
    EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos) << svg.substr(0, 200);
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    EXPECT_NE(svg.rfind("</svg>"), std::string::npos) << "not a whole document";
    fs::remove_all(dir);
}

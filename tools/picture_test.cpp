// Pictures: the colour map, the legend's ticks, and the map and sky plot read back.
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tools/colour_map.h"
#include "tools/legend.h"
#include "tools/map_picture.h"
#include "tools/sky_plot.h"
#include "tools/tool_test_files.h"

namespace {

// CIE L* of an sRGB colour with channels from 0 to 1 (D65 white).
double lightness(double r, double g, double b) {
  auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  const double y = 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
  return y > 216.0 / 24389 ? 116 * std::cbrt(y) - 16 : 24389.0 / 27 * y;
}

double lightness(Rgb c) { return lightness(c.r / 255.0, c.g / 255.0, c.b / 255.0); }

Rgb colourAt(const Raster& picture, double x, double y) {
  const size_t at = size_t(y) * picture.width + size_t(x);
  auto channel = [&](int band) { return std::uint8_t(picture.bands[band][at]); };
  return Rgb{channel(0), channel(1), channel(2)};
}

}  // namespace

TEST(ColourMapTest, IsViridisDarkToLightWithAGreyForNoData) {
  // The published ends, #440154 and #FDE725, at and beyond the ends of a
  // range; no value, or no usable range, is the no-data grey.
  const Rgb first{0x44, 0x01, 0x54}, last{0xFD, 0xE7, 0x25};
  for (double low : {-3.0, -1e30}) EXPECT_EQ(colourOf(low, -3, 7), first);
  for (double high : {7.0, double(INFINITY)}) EXPECT_EQ(colourOf(high, -3, 7), last);
  EXPECT_EQ(colourOf(NAN, 0, 1), kNoDataColour);
  EXPECT_EQ(colourOf(0.5, 1, 1), kNoDataColour);
  EXPECT_EQ(colourOf(0.5, 0, INFINITY), kNoDataColour);
  // Lightness rises at every entry; no entry is near the grey.
  EXPECT_LT(lightness(first), 20);
  EXPECT_GT(lightness(last), 85);
  double previous = -1;
  for (int i = 0; i < kColourMapSize; ++i) {
    const ColourMapValue v = colourMapValue(i);
    EXPECT_GT(lightness(v.r, v.g, v.b), previous) << "entry " << i;
    previous = lightness(v.r, v.g, v.b);
    const Rgb c = colourMapEntry(i);
    EXPECT_GT(std::abs(c.r - kNoDataColour.r) + std::abs(c.g - kNoDataColour.g) + std::abs(c.b - kNoDataColour.b), 60)
        << "entry " << i;
  }
}

TEST(LegendTicksTest, RoundValuesCoverEveryRange) {
  struct Case {
    ValueRange range;
    int maxCount;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {{0, 1}, 6, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
      {{-0.05, 0.05}, 5, {"-0.04", "-0.02", "0.00", "0.02", "0.04"}},
      {{1200, 48000}, 4, {"10000", "20000", "30000", "40000"}},
      {{7615840.7, 7621518.4}, 2, {"7616000", "7618000", "7620000"}},  // no round step gives 2
  };
  for (const Case& c : cases) EXPECT_EQ(legendTicks(c.range, c.maxCount).labels, c.labels) << c.range.low;

  // Any range: 2 to maxCount ticks (up to 5 for a small maxCount), 1, 2 or 5
  // times a power of ten apart, less than a step inside either end, each
  // label reading back as its value.
  std::mt19937 random(13);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 2000; ++trial) {
    const double span = std::pow(10.0, -9 + 21 * unit(random));
    const double low = (unit(random) - 0.5) * span * std::pow(10.0, 4 * unit(random));
    const ValueRange range{low, low + span};
    const int maxCount = 2 + trial % 6;
    const LegendTicks ticks = legendTicks(range, maxCount);
    SCOPED_TRACE(testing::Message() << "range " << range.low << " .. " << range.high << ", at most " << maxCount);
    ASSERT_GE(ticks.values.size(), 2u);
    ASSERT_LE(ticks.values.size(), size_t(std::max(maxCount, 5)));
    ASSERT_EQ(ticks.labels.size(), ticks.values.size());
    const double mantissa = ticks.step / std::pow(10.0, std::floor(std::log10(ticks.step) + 1e-9));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6)
        << mantissa;
    EXPECT_GE(ticks.values.front(), range.low);
    EXPECT_LE(ticks.values.back(), range.high);
    EXPECT_LT(ticks.values.front() - range.low, ticks.step);
    EXPECT_LT(range.high - ticks.values.back(), ticks.step);
    for (size_t i = 0; i < ticks.values.size(); ++i) {
      const double index = ticks.values[i] / ticks.step;
      EXPECT_NEAR(index, std::round(index), 1e-6 * std::max(1.0, std::fabs(index)));
      if (i > 0) {
        EXPECT_NEAR(ticks.values[i] - ticks.values[i - 1], ticks.step, 1e-6 * ticks.step);
      }
      EXPECT_NEAR(std::strtod(ticks.labels[i].c_str(), nullptr), ticks.values[i], 1e-3 * ticks.step)
          << ticks.labels[i];
    }
  }
}

using MapPictureTest = ScratchFolderTest;

TEST_F(MapPictureTest, NorthIsUpAndEastIsRightInTheFile) {
  // 5 cells east by 3 north: the north-east cell bright, the south-west one without a value.
  const int gridSizeX = 5, gridSizeY = 3;
  std::vector<float> grid(gridSizeX * gridSizeY, 0);
  grid[4 * gridSizeY + 2] = 1;
  grid[0 * gridSizeY + 0] = NAN;
  const std::string name = path("map.png");
  struct Legend {
    MapLegend legend;
    Rgb bright;  // the colour the north-east cell should have
  };
  const Legend legends[] = {
      {{"sky light", "", std::nullopt}, colourMapEntry(kColourMapSize - 1)},
      {{"sky light", "a title", ValueRange{0, 2}}, colourOf(1, 0, 2)},
  };
  for (const Legend& l : legends) {
    OutputFile output(name);
    ASSERT_TRUE(writeMapPng(output, grid.data(), gridSizeX, gridSizeY, l.legend) && output.commit())
        << output.error();
    const MapPictureLayout layout = drawMapPicture(grid.data(), gridSizeX, gridSizeY, l.legend).layout;
    const Raster png = readRaster(name);  // RGB bytes: halvane_terrain_test's --colour map
    ASSERT_EQ(png.bands.size(), 3u);
    ASSERT_GT(png.width, layout.mapLeft + gridSizeX * layout.cellPixels);
    ASSERT_GT(png.height, layout.barTop);
    for (int row = 0; row < gridSizeY; ++row)
      for (int column = 0; column < gridSizeX; ++column) {
        const Rgb expected = row == 0 && column == gridSizeX - 1   ? l.bright
                             : row == gridSizeY - 1 && column == 0 ? kNoDataColour
                                                                   : colourMapEntry(0);
        const double x = layout.mapLeft + (column + 0.5) * layout.cellPixels;
        const double y = layout.mapTop + (row + 0.5) * layout.cellPixels;
        EXPECT_EQ(colourAt(png, x, y), expected) << "row " << row << ", column " << column;
      }
    const double barMiddle = layout.barTop + 4;
    EXPECT_EQ(colourAt(png, layout.barLeft, barMiddle), colourMapEntry(0));
    EXPECT_EQ(colourAt(png, layout.barLeft + layout.barWidth - 1, barMiddle), colourMapEntry(kColourMapSize - 1));
  }
}

TEST(SkyPlotTest, ZenithAtTheCentreNorthUpEastRightEqualArea) {
  // Each point's dot, found by its colour, lies where the
  // projection puts it; at bearing 45 and elevation 30 the equal-area radius
  // R sqrt(1 - sin 30) puts it at (R/2, R/2) towards the north-east.
  struct Point {
    SkyPoint point;
    double dx, dy;  // expected offset from the centre in radii, y down
  };
  const Point points[] = {
      {{0, 90, 0.1f}, 0, 0},  {{90, 0, 0.2f}, 1, 0},  {{0, 0, 0.3f}, 0, -1},
      {{180, 0, 0.4f}, 0, 1}, {{270, 0, 0.5f}, -1, 0}, {{45, 30, 0.6f}, 0.5, -0.5},
  };
  std::vector<SkyPoint> set;
  for (const Point& p : points) set.push_back(p.point);
  const SkyPlot plot = drawSkyPlot(set, "clear sky");
  const SkyPlotLayout& layout = plot.layout;
  ASSERT_GT(plot.image.width(), layout.centreX + layout.radius);
  ASSERT_GT(plot.image.height(), layout.centreY + layout.radius);
  EXPECT_NEAR(layout.centreX, plot.image.width() / 2.0, 1);  // the disc is centred across the picture
  EXPECT_FLOAT_EQ(layout.weights.low, 0.1f);          // the colour bar spans the weights
  EXPECT_FLOAT_EQ(layout.weights.high, 0.6f);
  for (const Point& p : points) {
    const Rgb colour = colourOf(p.point.weight, layout.weights.low, layout.weights.high);
    double sumX = 0, sumY = 0, count = 0;
    const int reach = int(layout.radius) + 20;
    for (int y = int(layout.centreY) - reach; y <= int(layout.centreY) + reach; ++y)
      for (int x = int(layout.centreX) - reach; x <= int(layout.centreX) + reach; ++x)
        if (plot.image.at(x, y) == colour) sumX += x + 0.5, sumY += y + 0.5, ++count;
    SCOPED_TRACE(testing::Message() << "bearing " << p.point.bearing << ", elevation " << p.point.elevation);
    ASSERT_GT(count, 20);
    EXPECT_NEAR(sumX / count, layout.centreX + p.dx * layout.radius, 0.75);
    EXPECT_NEAR(sumY / count, layout.centreY + p.dy * layout.radius, 0.75);
  }
}

TEST(PicturesTest, OddInputsGivePictures) {
  // Grids of one cell, one long row, gaps and infinities only, or no cells;
  // sets without usable points: each still a picture.
  const std::vector<float> values = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 0};
  const struct {
    int gridSizeX, gridSizeY;
  } sizes[] = {{1, 1}, {700, 1}, {1, 700}, {2, 3}, {0, 0}};
  for (const auto& size : sizes)
    for (float value : values) {
      const std::vector<float> grid(size_t(size.gridSizeX) * size.gridSizeY, value);
      const MapPicture picture = drawMapPicture(grid.data(), size.gridSizeX, size.gridSizeY, {"units", "", {}});
      EXPECT_GT(picture.image.width(), size.gridSizeX);
      EXPECT_GT(picture.image.height(), size.gridSizeY);
      if (size.gridSizeX > 0 && std::isnan(value)) {
        EXPECT_EQ(picture.image.at(picture.layout.mapLeft, picture.layout.mapTop), kNoDataColour);
      }
    }
  for (const std::vector<SkyPoint>& set : {std::vector<SkyPoint>{}, {{NAN, 10, 1}, {10, 10, INFINITY}},
                                           {{400, -20, 0.5f}, {-30, 95, 0.5f}}})
    EXPECT_GT(drawSkyPlot(set, "").image.width(), 0);
}

#include "tools/sky_plot.h"

#include <algorithm>
#include <cmath>

#include "tools/bitmap_font.h"
#include "tools/colour_map.h"

namespace {

// Picture geometry only, so the exact value of pi.
constexpr double kPicturePi = 3.14159265358979323846;
constexpr double kDegree = kPicturePi / 180;
constexpr int kScale = 2;          // text scale
constexpr double kRadius = 280;    // of the disc, in pixels
constexpr Rgb kDome{236, 236, 236};
constexpr Rgb kGuide{196, 196, 196};
constexpr Rgb kDotEdge{40, 40, 40};

// Distance from the centre, as a fraction of the radius, of a direction at
// `elevation` degrees: the equal-area projection.
double radialFraction(double elevation) {
  return std::sqrt(std::max(0.0, 1 - std::sin(std::clamp(elevation, 0.0, 90.0) * kDegree)));
}

// The pixel position of a direction.
void project(const SkyPlotLayout& layout, double bearing, double elevation, double& x, double& y) {
  const double r = layout.radius * radialFraction(elevation);
  x = layout.centreX + r * std::sin(bearing * kDegree);
  y = layout.centreY - r * std::cos(bearing * kDegree);
}

std::string bearingLabel(int bearing) {
  switch (bearing) {
    case 0: return "N";
    case 90: return "E";
    case 180: return "S";
    case 270: return "W";
    default: return std::to_string(bearing) + "\u00b0";
  }
}

// The disc, its rings and spokes, and the bearing ticks and labels outside
// the rim.
void drawDome(RasterImage& image, const SkyPlotLayout& layout) {
  const double cx = layout.centreX, cy = layout.centreY, radius = layout.radius;
  const int u = kScale;
  image.fillDisc(cx, cy, radius, kDome);
  for (int elevation : {30, 60}) image.strokeCircle(cx, cy, radius * radialFraction(elevation), 1, kGuide);
  for (int bearing = 0; bearing < 360; bearing += 30) {
    const double s = std::sin(bearing * kDegree), c = std::cos(bearing * kDegree);
    image.strokeLine(cx, cy, cx + radius * s, cy - radius * c, 1, kGuide);
    image.strokeLine(cx + radius * s, cy - radius * c, cx + (radius + 3 * u) * s, cy - (radius + 3 * u) * c, 1.5,
                     kInk);
    // The label's box just outside the tick: its centre moved out from the
    // tick's end by half its width across and half its height along.
    const std::string label = bearingLabel(bearing);
    const double halfWidth = textWidth(label, u) / 2.0, halfHeight = kGlyphAscent * u / 2.0;
    const double anchor = radius + 6 * u;
    const double labelX = cx + anchor * s + halfWidth * s, labelY = cy - anchor * c - halfHeight * c;
    drawText(image, int(std::lround(labelX)), int(std::lround(labelY - halfHeight)), label, u, kInk,
             TextAlign::kCentre);
  }
  image.strokeCircle(cx, cy, radius, 1.5, kInk);
  image.strokeLine(cx - 2 * u, cy, cx + 2 * u, cy, 1, kFaintInk);
  image.strokeLine(cx, cy - 2 * u, cx, cy + 2 * u, 1, kFaintInk);
}

// The radius of the dots: a quarter of the spacing of evenly spread points,
// from 1.5 to 6 pixels.
double dotRadius(size_t count, double discRadius) {
  const double spacing = discRadius * std::sqrt(kPicturePi / std::max<size_t>(count, 1));
  return std::clamp(spacing / 4, 1.5, 6.0);
}

}  // namespace

SkyPlot drawSkyPlot(const std::vector<SkyPoint>& points, const std::string& title) {
  std::vector<SkyPoint> shown;
  std::vector<float> weights;
  for (const SkyPoint& point : points)
    if (std::isfinite(point.bearing) && std::isfinite(point.elevation) && std::isfinite(point.weight)) {
      shown.push_back(point);
      weights.push_back(point.weight);
    }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const SkyPoint& a, const SkyPoint& b) { return a.weight < b.weight; });

  const int u = kScale, margin = 8 * u, lineHeight = (kGlyphAscent + kGlyphDescent) * u;
  const std::string footnote = "equal-area projection, rings at 30\u00b0 and 60\u00b0 elevation";
  SkyPlotLayout layout;
  layout.radius = kRadius;
  layout.weights = rangeOfValues(weights.data(), weights.size());
  const int barWidth = int(2 * kRadius);
  const ColourBar bar(layout.weights, "weight of each point (weights sum to 1)", barWidth, u);
  const ColourBarOverhang overhang = bar.overhang();

  // Room for the bearing labels around the disc: the widest ("300°") across,
  // one line up and down.
  const int across = 6 * u + textWidth("300\u00b0", u) + u, along = 6 * u + kGlyphAscent * u + u;
  const int plotWidth = int(2 * kRadius) + 2 * std::max({across, overhang.left, overhang.right});
  const int width =
      std::max({plotWidth, bar.unitsWidth(), textWidth(title, u), textWidth(footnote, u)}) + 2 * margin;
  const int titleHeight = title.empty() ? 0 : lineHeight + 4 * u;
  layout.centreX = width / 2.0;
  layout.centreY = margin + titleHeight + along + kRadius;
  const int barTop = int(layout.centreY + kRadius) + along + 4 * u;
  const int footnoteTop = barTop + colourBarHeight(u) + 2 * u;
  const int height = footnoteTop + lineHeight + margin;

  SkyPlot plot{RasterImage(width, height, kPaper), layout};
  RasterImage& image = plot.image;
  if (!title.empty()) drawText(image, width / 2, margin, title, u, kInk, TextAlign::kCentre);
  drawDome(image, layout);
  // Dark rims keep light dots apart from the dome and from each other.
  const double radius = dotRadius(shown.size(), kRadius), rim = std::clamp(radius / 4, 0.6, 1.2);
  for (const SkyPoint& point : shown) {
    double x, y;
    project(layout, point.bearing, point.elevation, x, y);
    if (radius >= 2) image.fillDisc(x, y, radius + rim, kDotEdge);
    image.fillDisc(x, y, radius, colourOf(point.weight, layout.weights.low, layout.weights.high));
  }
  bar.draw(image, int(layout.centreX - kRadius), barTop);
  drawText(image, width / 2, footnoteTop, footnote, u, kFaintInk, TextAlign::kCentre);
  return plot;
}

bool writeSkyPlotPng(OutputFile& output, const std::vector<SkyPoint>& points, const std::string& title) {
  const SkyPlot plot = drawSkyPlot(points, title);
  return writePng(output, plot.image, title.empty() ? "sky dome plot" : title);
}

// The clip panels and the overlay quad's projection onto the screen.
#include "datagen/textures/screen_frame.h"

#include <algorithm>
#include <cmath>

namespace datagen {

const ClipPanel ClipPanels[ClipPanelCount] = {
    {"main", 227, 16, 546, 571},  {"side1", 27, 482, 100, 105}, {"side2", 27, 351, 100, 105},
    {"side3", 27, 221, 100, 105}, {"side4", 27, 93, 100, 105},  {"meter", 0, 13, 205, 51},
    {"tall", 130, 150, 95, 599},
};

namespace {

constexpr double QuadHalfW = 1.67, QuadHalfH = 1.27, QuadDistance = 3.05;
constexpr double ScreenW = 800, ScreenH = 600;

// gluPerspective(45, 4/3, ...): x_ndc = f / aspect * x / -z, y_ndc = f * y / -z.
double focal() { return 1.0 / std::tan(22.5 * M_PI / 180.0); }
double ndcX(double x) { return focal() / (ScreenW / ScreenH) * x / QuadDistance; }
double ndcY(double y) { return focal() * y / QuadDistance; }

} // namespace

double overlayScreenX(double s) { return (ndcX(-QuadHalfW + 2 * QuadHalfW * s) + 1) * ScreenW * 0.5; }
double overlayScreenY(double t) { return (ndcY(-QuadHalfH + 2 * QuadHalfH * t) + 1) * ScreenH * 0.5; }

double overlayTexS(double screenX)
{
    const double a = overlayScreenX(0), b = overlayScreenX(1);
    return (screenX - a) / (b - a);
}

double overlayTexT(double screenY)
{
    const double a = overlayScreenY(0), b = overlayScreenY(1);
    return (screenY - a) / (b - a);
}

double panelCoverage(double x0, double y0, double x1, double y1)
{
    const double area = (x1 - x0) * (y1 - y0);
    if (area <= 0) return 0;
    double covered = 0;
    for (const ClipPanel& p : ClipPanels) {
        const double w = std::min(x1, double(p.x + p.width)) - std::max(x0, double(p.x));
        const double h = std::min(y1, double(p.y + p.height)) - std::max(y0, double(p.y));
        if (w > 0 && h > 0) covered += w * h;
    }
    return std::min(1.0, covered / area);
}

} // namespace datagen

// The icon is painted from circles, a triangle and gradients, each pixel the mean of a
// grid of samples so that the edges are smooth at every size.
#include "tools/app_icon.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSamplesAcross = 4;  // per pixel, in x and in y

struct Colour {
    double r, g, b;
};

Colour mix(const Colour& a, const Colour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Coordinates from 0 to 1 across the icon, y upwards.
bool insideTile(double x, double y) {
    constexpr double kInset = 0.03;
    constexpr double kCorner = 0.2;
    const double dx = std::max(std::fabs(x - 0.5) - (0.5 - kInset - kCorner), 0.0);
    const double dy = std::max(std::fabs(y - 0.5) - (0.5 - kInset - kCorner), 0.0);
    return dx * dx + dy * dy <= kCorner * kCorner;
}

struct Ball {
    double x, y, radius;
};

// The snowman's three balls, bottom up, and the sun.
constexpr Ball kSnowman[] = {{0.42, 0.27, 0.17}, {0.42, 0.50, 0.125}, {0.42, 0.68, 0.09}};
constexpr Ball kSun{0.77, 0.78, 0.1};
// The light comes from the sun's side: right, up and towards the viewer.
constexpr double kLight[3] = {0.62, 0.45, 0.64};

bool inside(const Ball& ball, double x, double y) {
    const double dx = x - ball.x;
    const double dy = y - ball.y;
    return dx * dx + dy * dy <= ball.radius * ball.radius;
}

// Snow on a ball, lit by the sun: white where it faces the light, blue in the shade.
Colour litSnow(const Ball& ball, double x, double y) {
    const double nx = (x - ball.x) / ball.radius;
    const double ny = (y - ball.y) / ball.radius;
    const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
    const double facing = std::max(0.0, nx * kLight[0] + ny * kLight[1] + nz * kLight[2]);
    return mix({120, 135, 200}, {255, 255, 255}, std::min(1.0, 0.25 + 0.85 * facing));
}

double groundHeight(double x) {
    return 0.3 + 0.035 * std::sin(x * 5.0 + 0.6);
}

// The pyramid on the right: a triangle, its right face in the light.
bool insidePyramid(double x, double y, bool& lit) {
    constexpr double kApexX = 0.78, kApexY = 0.5, kBaseY = 0.26, kHalfWidth = 0.13;
    if (y < kBaseY || y > kApexY) return false;
    const double halfWidth = kHalfWidth * (kApexY - y) / (kApexY - kBaseY);
    lit = x >= kApexX;
    return std::fabs(x - kApexX) <= halfWidth;
}

// What one sample point shows, painted back to front.
Colour paint(double x, double y) {
    Colour colour = mix({120, 125, 230}, {40, 45, 160}, std::clamp((y - 0.3) / 0.67, 0.0, 1.0));
    if (inside(kSun, x, y)) colour = {255, 245, 140};
    bool lit = false;
    if (insidePyramid(x, y, lit)) colour = lit ? Colour{235, 120, 40} : Colour{160, 65, 30};
    if (y <= groundHeight(x)) colour = mix({205, 215, 245}, {245, 248, 255}, y / 0.33);
    for (const Ball& ball : kSnowman) {
        if (inside(ball, x, y)) colour = litSnow(ball, x, y);
    }
    const Ball& head = kSnowman[2];
    constexpr Colour kCoal{30, 30, 40};
    for (const Ball& coal :
         {Ball{head.x - 0.03, head.y + 0.02, 0.013}, Ball{head.x + 0.03, head.y + 0.02, 0.013},
          Ball{kSnowman[1].x, kSnowman[1].y + 0.04, 0.015},
          Ball{kSnowman[1].x, kSnowman[1].y - 0.03, 0.015}}) {
        if (inside(coal, x, y)) colour = kCoal;
    }
    if (inside({head.x + 0.035, head.y - 0.015, 0.018}, x, y)) colour = {240, 110, 20};  // nose
    return colour;
}

uint8_t toByte(double value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

}  // namespace

Picture makeAppIcon(int size) {
    Picture icon = Picture::blank(size, size, 4);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Colour sum{0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < kSamplesAcross; ++sy) {
                for (int sx = 0; sx < kSamplesAcross; ++sx) {
                    const double x = (px + (sx + 0.5) / kSamplesAcross) / size;
                    const double y = (py + (sy + 0.5) / kSamplesAcross) / size;
                    if (!insideTile(x, y)) continue;
                    const Colour colour = paint(x, y);
                    sum = {sum.r + colour.r, sum.g + colour.g, sum.b + colour.b};
                    ++covered;
                }
            }
            uint8_t* pixel = icon.at(px, py);
            if (covered == 0) continue;  // stays see-through black
            pixel[0] = toByte(sum.r / covered);
            pixel[1] = toByte(sum.g / covered);
            pixel[2] = toByte(sum.b / covered);
            pixel[3] = toByte(255.0 * covered / (kSamplesAcross * kSamplesAcross));
        }
    }
    return icon;
}

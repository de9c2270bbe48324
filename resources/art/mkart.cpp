// mkart: draws the pictures and icons of Tovarin Setup.
//
//   mkart OUTDIR [TABLEDIR]
//
// writes backdrop.bmp and the icons setup.ico, tovarin.ico, question.ico,
// warning.ico, error.ico and disk.ico into OUTDIR, and for every language
// table TABLEDIR/<code>.txt (TABLEDIR is OUTDIR/lang unless given) the
// pictures that carry words, logo.bmp and billboard1.bmp to billboard5.bmp,
// into OUTDIR/lang/<code>/.  Every table is checked before anything is
// written (the format is described below, at ReadTable, and at the top of
// each table).  The output is byte-identical on every run: there is no
// randomness beyond a fixed-seed generator, and no floating-point library
// call but sqrt (the sines come from a series here), so that a different C
// library cannot move a pixel.  resources/art/CMakeLists.txt checks the
// committed files against a fresh run.
//
// Everything is drawn as coverage masks (anti-aliased shapes, strokes and a
// small stroke font) composited onto a floating-point canvas; the pictures
// are then reduced to 256 or 16 colours by median cut and Floyd-Steinberg
// error diffusion in integer arithmetic.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Numbers

constexpr double kPi = 3.14159265358979323846;

double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }
double Smooth(double t) { t = Clamp01(t); return t * t * (3.0 - 2.0 * t); }

// Sine of an angle in degrees, from a Taylor series after range reduction,
// so that no C library's sin() decides a pixel.
double SinDeg(double deg) {
    while (deg > 180.0) deg -= 360.0;
    while (deg < -180.0) deg += 360.0;
    if (deg > 90.0) deg = 180.0 - deg;
    if (deg < -90.0) deg = -180.0 - deg;
    const double x = deg * kPi / 180.0;
    const double x2 = x * x;
    double term = x, sum = x;
    for (int n = 1; n < 12; ++n) {
        term = -term * x2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}
double CosDeg(double deg) { return SinDeg(deg + 90.0); }

// A small fixed-seed generator for the texture of text lines.
struct Lcg { uint32_t state; };
uint32_t NextRandom(Lcg& g) { g.state = g.state * 1664525u + 1013904223u; return g.state >> 8; }
double NextUnit(Lcg& g) { return static_cast<double>(NextRandom(g) & 0xFFFF) / 65535.0; }

// ---------------------------------------------------------------------------
// Colours and the canvas

struct Colour { double r, g, b; };

Colour Hex(uint32_t v) {
    return { static_cast<double>((v >> 16) & 0xFF) / 255.0,
             static_cast<double>((v >> 8) & 0xFF) / 255.0,
             static_cast<double>(v & 0xFF) / 255.0 };
}
Colour Mix(Colour a, Colour b, double t) {
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}
Colour Scale(Colour a, double k) { return { a.r * k, a.g * k, a.b * k }; }

uint8_t ToByte(double v) {
    const double s = Clamp01(v) * 255.0 + 0.5;
    return static_cast<uint8_t>(static_cast<int>(s));
}

struct Canvas {
    int width = 0, height = 0;
    std::vector<Colour> px;
};

Canvas MakeCanvas(int w, int h, Colour fill) {
    Canvas c;
    c.width = w;
    c.height = h;
    c.px.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
    return c;
}

Colour& Pixel(Canvas& c, int x, int y) { return c.px[static_cast<size_t>(y) * c.width + x]; }
Colour PixelAt(const Canvas& c, int x, int y) {
    x = std::clamp(x, 0, c.width - 1);
    y = std::clamp(y, 0, c.height - 1);
    return c.px[static_cast<size_t>(y) * c.width + x];
}

Colour SampleBilinear(const Canvas& c, double x, double y) {
    x -= 0.5;
    y -= 0.5;
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = x - fx, ty = y - fy;
    const Colour top = Mix(PixelAt(c, ix, iy), PixelAt(c, ix + 1, iy), tx);
    const Colour bottom = Mix(PixelAt(c, ix, iy + 1), PixelAt(c, ix + 1, iy + 1), tx);
    return Mix(top, bottom, ty);
}

// ---------------------------------------------------------------------------
// Coverage masks

struct Mask {
    int x0 = 0, y0 = 0, width = 0, height = 0;
    std::vector<double> cov;
};

Mask MakeMask(double left, double top, double right, double bottom) {
    Mask m;
    m.x0 = static_cast<int>(std::floor(left)) - 1;
    m.y0 = static_cast<int>(std::floor(top)) - 1;
    m.width = static_cast<int>(std::ceil(right)) + 2 - m.x0;
    m.height = static_cast<int>(std::ceil(bottom)) + 2 - m.y0;
    if (m.width < 1) m.width = 1;
    if (m.height < 1) m.height = 1;
    m.cov.assign(static_cast<size_t>(m.width) * static_cast<size_t>(m.height), 0.0);
    return m;
}

double& Cov(Mask& m, int x, int y) { return m.cov[static_cast<size_t>(y) * m.width + x]; }
double CovAt(const Mask& m, int x, int y) {
    if (x < 0 || y < 0 || x >= m.width || y >= m.height) return 0.0;
    return m.cov[static_cast<size_t>(y) * m.width + x];
}

// Visits every pixel of a mask with the canvas coordinates of its centre.
template <class F> void FillMask(Mask& m, F coverage) {
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            Cov(m, x, y) = Clamp01(coverage(m.x0 + x + 0.5, m.y0 + y + 0.5));
}

enum class BlendMode { normal, multiply };

template <class F>
void PaintWith(Canvas& c, const Mask& m, double opacity, F colourAt, BlendMode mode = BlendMode::normal) {
    for (int y = 0; y < m.height; ++y) {
        const int cy = m.y0 + y;
        if (cy < 0 || cy >= c.height) continue;
        for (int x = 0; x < m.width; ++x) {
            const int cx = m.x0 + x;
            if (cx < 0 || cx >= c.width) continue;
            const double k = CovAt(m, x, y) * opacity;
            if (k <= 0.0) continue;
            Colour& dst = Pixel(c, cx, cy);
            Colour src = colourAt(cx + 0.5, cy + 0.5);
            if (mode == BlendMode::multiply) src = { dst.r * src.r, dst.g * src.g, dst.b * src.b };
            dst = Mix(dst, src, k);
        }
    }
}

void Paint(Canvas& c, const Mask& m, Colour colour, double opacity = 1.0,
           BlendMode mode = BlendMode::normal) {
    PaintWith(c, m, opacity, [colour](double, double) { return colour; }, mode);
}

// Exact area coverage of an axis-aligned rectangle.
Mask RectMask(double l, double t, double r, double b) {
    Mask m = MakeMask(l, t, r, b);
    for (int y = 0; y < m.height; ++y) {
        const double py = m.y0 + y;
        const double cy = std::max(0.0, std::min(py + 1.0, b) - std::max(py, t));
        for (int x = 0; x < m.width; ++x) {
            const double px = m.x0 + x;
            const double cx = std::max(0.0, std::min(px + 1.0, r) - std::max(px, l));
            Cov(m, x, y) = cx * cy;
        }
    }
    return m;
}

double RoundBoxDistance(double px, double py, double l, double t, double r, double b, double radius) {
    const double cx = (l + r) * 0.5, cy = (t + b) * 0.5;
    const double hx = (r - l) * 0.5 - radius, hy = (b - t) * 0.5 - radius;
    const double qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
}

Mask RoundRectMask(double l, double t, double r, double b, double radius) {
    Mask m = MakeMask(l, t, r, b);
    FillMask(m, [&](double x, double y) { return 0.5 - RoundBoxDistance(x, y, l, t, r, b, radius); });
    return m;
}

// Outline of a rounded rectangle, the stroke centred on its edge.
Mask RoundRectOutline(double l, double t, double r, double b, double radius, double w) {
    Mask m = MakeMask(l - w, t - w, r + w, b + w);
    FillMask(m, [&](double x, double y) {
        return w * 0.5 + 0.5 - std::fabs(RoundBoxDistance(x, y, l, t, r, b, radius));
    });
    return m;
}

double EllipseDistance(double px, double py, double cx, double cy, double rx, double ry) {
    const double dx = (px - cx) / rx, dy = (py - cy) / ry;
    const double k0 = std::sqrt(dx * dx + dy * dy);
    const double ex = dx / rx, ey = dy / ry;
    const double k1 = std::sqrt(ex * ex + ey * ey);
    if (k1 < 1e-9) return -std::min(rx, ry);
    return k0 * (k0 - 1.0) / k1;
}

Mask EllipseMask(double cx, double cy, double rx, double ry) {
    Mask m = MakeMask(cx - rx, cy - ry, cx + rx, cy + ry);
    FillMask(m, [&](double x, double y) { return 0.5 - EllipseDistance(x, y, cx, cy, rx, ry); });
    return m;
}

Mask CircleMask(double cx, double cy, double r) { return EllipseMask(cx, cy, r, r); }

Mask RingMask(double cx, double cy, double r, double w) {
    Mask m = MakeMask(cx - r - w, cy - r - w, cx + r + w, cy + r + w);
    FillMask(m, [&](double x, double y) {
        const double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) - r;
        return w * 0.5 + 0.5 - std::fabs(d);
    });
    return m;
}

struct Pt { double x, y; };

// Even-odd fill of a polygon, 4 x 4 samples a pixel.
Mask PolygonMask(const std::vector<Pt>& poly) {
    double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
    for (const Pt& p : poly) {
        l = std::min(l, p.x); r = std::max(r, p.x);
        t = std::min(t, p.y); b = std::max(b, p.y);
    }
    Mask m = MakeMask(l, t, r, b);
    const size_t n = poly.size();
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy) {
                const double py = m.y0 + y + (sy + 0.5) / 4.0;
                for (int sx = 0; sx < 4; ++sx) {
                    const double px = m.x0 + x + (sx + 0.5) / 4.0;
                    bool in = false;
                    for (size_t i = 0, j = n - 1; i < n; j = i++) {
                        const Pt& a = poly[i];
                        const Pt& c = poly[j];
                        if ((a.y > py) != (c.y > py) &&
                            px < (c.x - a.x) * (py - a.y) / (c.y - a.y) + a.x)
                            in = !in;
                    }
                    if (in) ++inside;
                }
            }
            Cov(m, x, y) = inside / 16.0;
        }
    }
    return m;
}

struct Segment { Pt a, b; };

double SegmentDistance(double px, double py, const Segment& s) {
    const double vx = s.b.x - s.a.x, vy = s.b.y - s.a.y;
    const double wx = px - s.a.x, wy = py - s.a.y;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0.0 ? (wx * vx + wy * vy) / len2 : 0.0;
    t = Clamp01(t);
    const double dx = wx - vx * t, dy = wy - vy * t;
    return std::sqrt(dx * dx + dy * dy);
}

// Round-capped strokes of the given width.
Mask StrokeMask(const std::vector<Segment>& segs, double width) {
    double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
    for (const Segment& s : segs) {
        l = std::min({ l, s.a.x, s.b.x }); r = std::max({ r, s.a.x, s.b.x });
        t = std::min({ t, s.a.y, s.b.y }); b = std::max({ b, s.a.y, s.b.y });
    }
    const double half = width * 0.5;
    Mask m = MakeMask(l - half, t - half, r + half, b + half);
    for (const Segment& s : segs) {
        // Only the pixels near a segment can be touched by it.
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(s.a.x, s.b.x) - half - 1.0)) - m.x0);
        const int x1 = std::min(m.width - 1, static_cast<int>(std::ceil(std::max(s.a.x, s.b.x) + half + 1.0)) - m.x0);
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(s.a.y, s.b.y) - half - 1.0)) - m.y0);
        const int y1 = std::min(m.height - 1, static_cast<int>(std::ceil(std::max(s.a.y, s.b.y) + half + 1.0)) - m.y0);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const double d = SegmentDistance(m.x0 + x + 0.5, m.y0 + y + 0.5, s);
                const double c = Clamp01(half + 0.5 - d);
                double& dst = Cov(m, x, y);
                if (c > dst) dst = c;
            }
    }
    return m;
}

Mask LineMask(double ax, double ay, double bx, double by, double width) {
    return StrokeMask({ { { ax, ay }, { bx, by } } }, width);
}

// Dashes along a straight line: `on` pixels drawn, `off` pixels skipped.
Mask DashedLineMask(double ax, double ay, double bx, double by, double width, double on, double off) {
    const double len = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
    std::vector<Segment> segs;
    for (double s = 0.0; s < len; s += on + off) {
        const double e = std::min(len, s + on);
        segs.push_back({ { ax + (bx - ax) * s / len, ay + (by - ay) * s / len },
                         { ax + (bx - ax) * e / len, ay + (by - ay) * e / len } });
    }
    return StrokeMask(segs, width);
}

// Box blur, three passes: close to a Gaussian of about the radius given.
Mask Blur(const Mask& src, int radius) {
    Mask m;
    m.x0 = src.x0 - radius * 3;
    m.y0 = src.y0 - radius * 3;
    m.width = src.width + radius * 6;
    m.height = src.height + radius * 6;
    m.cov.assign(static_cast<size_t>(m.width) * static_cast<size_t>(m.height), 0.0);
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) Cov(m, x + radius * 3, y + radius * 3) = CovAt(src, x, y);
    if (radius <= 0) return m;
    std::vector<double> line;
    const double norm = 1.0 / static_cast<double>(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        line.assign(static_cast<size_t>(m.width), 0.0);
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                double s = 0.0;
                for (int k = -radius; k <= radius; ++k) s += CovAt(m, x + k, y);
                line[x] = s * norm;
            }
            for (int x = 0; x < m.width; ++x) Cov(m, x, y) = line[x];
        }
        line.assign(static_cast<size_t>(m.height), 0.0);
        for (int x = 0; x < m.width; ++x) {
            for (int y = 0; y < m.height; ++y) {
                double s = 0.0;
                for (int k = -radius; k <= radius; ++k) s += CovAt(m, x, y + k);
                line[y] = s * norm;
            }
            for (int y = 0; y < m.height; ++y) Cov(m, x, y) = line[y];
        }
    }
    return m;
}

Mask Shifted(Mask m, int dx, int dy) { m.x0 += dx; m.y0 += dy; return m; }

// A soft drop shadow under a mask.
void Shadow(Canvas& c, const Mask& m, int dx, int dy, int radius, double opacity, Colour tint = { 0, 0, 0 }) {
    Paint(c, Shifted(Blur(m, radius), dx, dy), tint, opacity);
}

// ---------------------------------------------------------------------------
// Affine placement of shapes drawn in their own coordinates.

struct Affine { double a, b, c, d, e, f; };  // x' = a x + b y + e, y' = c x + d y + f

Affine Placement(double ox, double oy, double degrees) {
    const double s = SinDeg(degrees), k = CosDeg(degrees);
    return { k, -s, s, k, ox, oy };
}
Pt Apply(const Affine& m, double x, double y) { return { m.a * x + m.b * y + m.e, m.c * x + m.d * y + m.f }; }

Mask QuadMask(const Affine& m, double l, double t, double r, double b) {
    return PolygonMask({ Apply(m, l, t), Apply(m, r, t), Apply(m, r, b), Apply(m, l, b) });
}

// ---------------------------------------------------------------------------
// The stroke font: a geometric sans drawn with round-capped strokes.
//
// Glyphs are written in units where the capitals are 7 high, the x-height 5
// and the baseline 0, y upwards.  Commands: M x y (move), L x y (line),
// A cx cy rx ry from to (elliptical arc in degrees, counter-clockwise when
// `to` is larger), D x y (a dot).

struct GlyphDef { char ch; const char* path; };

const GlyphDef kGlyphs[] = {
    { 'A', "M0 0 L3.1 7 L6.2 0 M1.15 2.4 L5.05 2.4" },
    { 'B', "M0 0 L0 7 L2.9 7 A2.9 5.3 1.7 1.7 90 -90 L0 3.6 M2.9 3.6 L3.2 3.6 A3.2 1.8 1.8 1.8 90 -90 L0 0" },
    { 'C', "A3.6 3.5 3.5 3.5 42 318" },
    { 'D', "M0 0 L0 7 L2.6 7 A2.6 3.5 3.5 3.5 90 -90 L0 0" },
    { 'E', "M4.6 7 L0 7 L0 0 L4.6 0 M0 3.6 L4 3.6" },
    { 'F', "M4.6 7 L0 7 L0 0 M0 3.6 L4 3.6" },
    { 'G', "A3.6 3.5 3.5 3.5 42 360 M7.1 3.5 L4.1 3.5" },
    { 'H', "M0 0 L0 7 M5.2 0 L5.2 7 M0 3.6 L5.2 3.6" },
    { 'I', "M0 0 L0 7" },
    { 'J', "M3.8 7 L3.8 2 A1.9 2 1.9 2 0 -180" },
    { 'K', "M0 0 L0 7 M4.9 7 L0 2.3 M1.7 3.9 L5.1 0" },
    { 'L', "M0 7 L0 0 L4.3 0" },
    { 'M', "M0 0 L0 7 L3.5 1.4 L7 7 L7 0" },
    { 'N', "M0 0 L0 7 L5.2 0 L5.2 7" },
    { 'O', "A3.6 3.5 3.6 3.5 0 360" },
    { 'P', "M0 0 L0 7 L2.8 7 A2.8 5.05 1.95 1.95 90 -90 L0 3.1" },
    { 'Q', "A3.6 3.5 3.6 3.5 0 360 M4.4 1.6 L7 -0.7" },
    { 'R', "M0 0 L0 7 L2.8 7 A2.8 5.05 1.95 1.95 90 -90 L0 3.1 M2.6 3.1 L4.9 0" },
    { 'S', "A2.45 5.25 2.25 1.75 25 270 A2.45 1.75 2.45 1.75 90 -155" },
    { 'T', "M0 7 L5.8 7 M2.9 7 L2.9 0" },
    { 'U', "M0 7 L0 2.6 A2.6 2.6 2.6 2.6 180 360 L5.2 7" },
    { 'V', "M0 7 L3 0 L6 7" },
    { 'W', "M0 7 L2.1 0 L4.2 6.2 L6.3 0 L8.4 7" },
    { 'X', "M0 0 L5.2 7 M0 7 L5.2 0" },
    { 'Y', "M0 7 L2.9 3.3 L5.8 7 M2.9 3.3 L2.9 0" },
    { 'Z', "M0 7 L5 7 L0 0 L5 0" },
    { 'a', "A2.5 2.5 2.5 2.5 0 360 M5 5 L5 0" },
    { 'b', "M0 7.5 L0 0 M0 2.5 A2.5 2.5 2.5 2.5 180 540" },
    { 'c', "A2.5 2.5 2.5 2.5 45 315" },
    { 'd', "A2.5 2.5 2.5 2.5 0 360 M5 7.5 L5 0" },
    { 'e', "M0 2.5 L5 2.5 A2.5 2.5 2.5 2.5 0 318" },
    { 'f', "M1.1 0 L1.1 5.9 A2.6 5.9 1.5 1.6 180 50 M0 5 L2.9 5" },
    { 'g', "A2.5 2.5 2.5 2.5 0 360 M5 5 L5 -0.3 A2.5 -0.3 2.5 2.2 0 -155" },
    { 'h', "M0 0 L0 7.5 M0 2.6 A2.45 2.6 2.45 2.4 180 0 L4.9 0" },
    { 'i', "M0 0 L0 5 D0 6.7" },
    { 'j', "M0.9 5 L0.9 -0.6 A-0.5 -0.6 1.4 1.4 0 -110 D0.9 6.7" },
    { 'k', "M0 0 L0 7.5 M4.1 5 L0 1.6 M1.4 2.8 L4.3 0" },
    { 'l', "M0 0 L0 7.5" },
    { 'm', "M0 0 L0 5 M0 3.1 A1.85 3.1 1.85 1.9 180 0 L3.7 0 M3.7 3.1 A5.55 3.1 1.85 1.9 180 0 L7.4 0" },
    { 'n', "M0 0 L0 5 M0 2.6 A2.45 2.6 2.45 2.4 180 0 L4.9 0" },
    { 'o', "A2.6 2.5 2.6 2.5 0 360" },
    { 'p', "M0 5 L0 -2.3 M0 2.5 A2.5 2.5 2.5 2.5 180 540" },
    { 'q', "A2.5 2.5 2.5 2.5 0 360 M5 5 L5 -2.3" },
    { 'r', "M0 0 L0 5 M0 2.4 A2.4 2.4 2.4 2.6 180 70" },
    { 's', "A1.9 3.75 1.8 1.25 20 270 A1.9 1.25 1.9 1.25 90 -160" },
    { 't', "M1.1 6.6 L1.1 1.2 A2.3 1.2 1.2 1.2 180 270 L3 0 M0 5 L2.9 5" },
    { 'u', "M0 5 L0 2.4 A2.45 2.4 2.45 2.4 180 360 M4.9 5 L4.9 0" },
    { 'v', "M0 5 L2.4 0 L4.8 5" },
    { 'w', "M0 5 L1.8 0 L3.6 4.3 L5.4 0 L7.2 5" },
    { 'x', "M0 0 L4.4 5 M0 5 L4.4 0" },
    { 'y', "M0 5 L2.5 0.1 M4.9 5 L1.5 -2.3" },
    { 'z', "M0 5 L4.3 5 L0 0 L4.3 0" },
    { '0', "A2.6 3.5 2.6 3.5 0 360" },
    { '1', "M0 5.4 L2 7 L2 0" },
    { '2', "A2.4 4.9 2.3 2.1 160 -30 L0 0 L4.9 0" },
    { '3', "A2.3 5.3 2.1 1.7 150 -90 A2.3 1.9 2.4 1.9 90 -150" },
    { '4', "M3.9 0 L3.9 7 L0 2.1 L5.2 2.1" },
    { '5', "M4.6 7 L0.7 7 L0.35 3.9 A2.5 2.2 2.4 2.2 140 -150" },
    { '6', "M3.9 7 L0.5 3.1 M0.2 2.3 A2.5 2.3 2.3 2.3 180 540" },
    { '7', "M0 7 L5 7 L1.6 0" },
    { '8', "A2.5 5.3 2 1.7 0 360 A2.5 1.9 2.4 1.9 0 360" },
    { '9', "M1.1 0 L4.5 3.9 M4.8 4.7 A2.5 4.7 2.3 2.3 0 360" },
    { '.', "D0 0" },
    { ',', "M0.35 0.3 L-0.3 -1.3" },
    { ':', "D0 0 D0 4.2" },
    { ';', "D0.3 4.2 M0.35 0.3 L-0.3 -1.3" },
    { '-', "M0 2.8 L2.6 2.8" },
    { '!', "M0 7 L0 2.3 D0 0" },
    { '?', "A2.1 5.1 2.1 1.9 160 -70 L2.3 2.4 D2.3 0" },
    { '\'', "M0 7 L0 5.3" },
    { '/', "M0 -1 L3.6 7.6" },
    { '%', "A1.2 5.8 1.2 1.2 0 360 A4.8 1.2 1.2 1.2 0 360 M0.2 0 L5.8 7" },
    { '&', "M5.6 0 L1.3 5 A2.5 5.6 1.2 1.4 200 -20 L1 2.6 A2.2 1.5 2 1.6 140 320 L5.2 3" },
    { '(', "A3 3 1.9 4.6 120 240" },
    { ')', "A-1 3 1.9 4.6 60 -60" },
};

// Letters with accents are composed of a base letter and a mark placed over
// (or, for the cedilla, under) the middle of the base letter.  The marks of
// small letters sit where the dot of the i is, those of capitals above the
// cap height.

enum class Mark { acute, grave, circumflex, diaeresis, cedilla };

struct CompositeDef { unsigned char code; const char* base; Mark mark; bool capital; };

// The dotless i under the marks of î and ï.
const char kDotlessI[] = "M0 0 L0 5";

// Codes of code page 1252.
const CompositeDef kComposites[] = {
    { 0xC0, "M0 0 L3.1 7 L6.2 0 M1.15 2.4 L5.05 2.4", Mark::grave, true },             // À
    { 0xC2, "M0 0 L3.1 7 L6.2 0 M1.15 2.4 L5.05 2.4", Mark::circumflex, true },        // Â
    { 0xC4, "M0 0 L3.1 7 L6.2 0 M1.15 2.4 L5.05 2.4", Mark::diaeresis, true },         // Ä
    { 0xC7, "A3.6 3.5 3.5 3.5 42 318", Mark::cedilla, true },                           // Ç
    { 0xC8, "M4.6 7 L0 7 L0 0 L4.6 0 M0 3.6 L4 3.6", Mark::grave, true },              // È
    { 0xC9, "M4.6 7 L0 7 L0 0 L4.6 0 M0 3.6 L4 3.6", Mark::acute, true },              // É
    { 0xCA, "M4.6 7 L0 7 L0 0 L4.6 0 M0 3.6 L4 3.6", Mark::circumflex, true },         // Ê
    { 0xCB, "M4.6 7 L0 7 L0 0 L4.6 0 M0 3.6 L4 3.6", Mark::diaeresis, true },          // Ë
    { 0xCE, "M0 0 L0 7", Mark::circumflex, true },                                       // Î
    { 0xCF, "M0 0 L0 7", Mark::diaeresis, true },                                        // Ï
    { 0xD4, "A3.6 3.5 3.6 3.5 0 360", Mark::circumflex, true },                         // Ô
    { 0xD6, "A3.6 3.5 3.6 3.5 0 360", Mark::diaeresis, true },                          // Ö
    { 0xD9, "M0 7 L0 2.6 A2.6 2.6 2.6 2.6 180 360 L5.2 7", Mark::grave, true },        // Ù
    { 0xDB, "M0 7 L0 2.6 A2.6 2.6 2.6 2.6 180 360 L5.2 7", Mark::circumflex, true },   // Û
    { 0xDC, "M0 7 L0 2.6 A2.6 2.6 2.6 2.6 180 360 L5.2 7", Mark::diaeresis, true },    // Ü
    { 0xE0, "A2.5 2.5 2.5 2.5 0 360 M5 5 L5 0", Mark::grave, false },                   // à
    { 0xE2, "A2.5 2.5 2.5 2.5 0 360 M5 5 L5 0", Mark::circumflex, false },              // â
    { 0xE4, "A2.5 2.5 2.5 2.5 0 360 M5 5 L5 0", Mark::diaeresis, false },               // ä
    { 0xE7, "A2.5 2.5 2.5 2.5 45 315", Mark::cedilla, false },                          // ç
    { 0xE8, "M0 2.5 L5 2.5 A2.5 2.5 2.5 2.5 0 318", Mark::grave, false },               // è
    { 0xE9, "M0 2.5 L5 2.5 A2.5 2.5 2.5 2.5 0 318", Mark::acute, false },               // é
    { 0xEA, "M0 2.5 L5 2.5 A2.5 2.5 2.5 2.5 0 318", Mark::circumflex, false },          // ê
    { 0xEB, "M0 2.5 L5 2.5 A2.5 2.5 2.5 2.5 0 318", Mark::diaeresis, false },           // ë
    { 0xEE, kDotlessI, Mark::circumflex, false },                                        // î
    { 0xEF, kDotlessI, Mark::diaeresis, false },                                         // ï
    { 0xF4, "A2.6 2.5 2.6 2.5 0 360", Mark::circumflex, false },                        // ô
    { 0xF6, "A2.6 2.5 2.6 2.5 0 360", Mark::diaeresis, false },                         // ö
    { 0xF9, "M0 5 L0 2.4 A2.45 2.4 2.45 2.4 180 360 M4.9 5 L4.9 0", Mark::grave, false },      // ù
    { 0xFB, "M0 5 L0 2.4 A2.45 2.4 2.45 2.4 180 360 M4.9 5 L4.9 0", Mark::circumflex, false }, // û
    { 0xFC, "M0 5 L0 2.4 A2.45 2.4 2.45 2.4 180 360 M4.9 5 L4.9 0", Mark::diaeresis, false },  // ü
};

// Further signs of code page 1252: quotation marks, the ellipsis, the dash,
// œ and ß.  The
// low and high quotation marks lean like the comma (closing) or the other
// way (opening); the guillemets sit at the middle of the small letters.
const GlyphDef kSigns[] = {
    { static_cast<char>(0x84), "M0.6 0.3 L0 -1.3 M2.0 0.3 L1.4 -1.3" },       // „
    { static_cast<char>(0x85), "D0 0 D1.7 0 D3.4 0" },                          // …
    { static_cast<char>(0x91), "M0 7.2 L0.6 5.6" },                             // ‘
    { static_cast<char>(0x92), "M0.6 7.2 L0 5.6" },                             // ’
    { static_cast<char>(0x93), "M0 7.2 L0.6 5.6 M1.4 7.2 L2.0 5.6" },           // “
    { static_cast<char>(0x94), "M0.6 7.2 L0 5.6 M2.0 7.2 L1.4 5.6" },           // ”
    { static_cast<char>(0x96), "M0 2.8 L4.2 2.8" },                             // en dash
    { static_cast<char>(0x9C), "A2.6 2.5 2.6 2.5 0 360 M5.2 2.5 L10.1 2.5 A7.6 2.5 2.5 2.5 0 318" },  // œ
    { static_cast<char>(0xAB), "M1.5 1 L0 2.5 L1.5 4 M3.1 1 L1.6 2.5 L3.1 4" }, // «
    { static_cast<char>(0xBB), "M0 1 L1.5 2.5 L0 4 M1.6 1 L3.1 2.5 L1.6 4" },   // »
    { static_cast<char>(0xDF), "M0 0 L0 5.7 A2.05 5.7 2.05 1.8 180 -90 A2.05 1.95 2.35 1.95 90 -130" },  // ß
};

constexpr unsigned char kNoBreakSpace = 0xA0;

struct Glyph {
    std::vector<std::vector<Pt>> paths;  // polylines in font units
    double minX = 0.0, maxX = 0.0;
    bool defined = false;
};

// Indexed by the code of code page 1252.
struct Font { Glyph glyphs[256]; };

// Reads the next number of a glyph path; the position moves past it.
double ReadNumber(const char*& s) {
    while (*s == ' ') ++s;
    double sign = 1.0;
    if (*s == '-') { sign = -1.0; ++s; }
    double v = 0.0;
    while (*s >= '0' && *s <= '9') v = v * 10.0 + (*s++ - '0');
    if (*s == '.') {
        ++s;
        double scale = 0.1;
        while (*s >= '0' && *s <= '9') { v += (*s++ - '0') * scale; scale *= 0.1; }
    }
    return sign * v;
}

void Measure(Glyph& g) {
    g.minX = 1e9;
    g.maxX = -1e9;
    for (const auto& p : g.paths)
        for (const Pt& q : p) { g.minX = std::min(g.minX, q.x); g.maxX = std::max(g.maxX, q.x); }
}

Glyph BuildGlyph(const char* s) {
    Glyph g;
    g.defined = true;
    std::vector<Pt> cur;
    auto flush = [&]() { if (!cur.empty()) g.paths.push_back(cur); cur.clear(); };
    while (*s) {
        const char cmd = *s++;
        if (cmd == ' ') continue;
        if (cmd == 'M') {
            flush();
            const double x = ReadNumber(s), y = ReadNumber(s);
            cur.push_back({ x, y });
        } else if (cmd == 'L') {
            const double x = ReadNumber(s), y = ReadNumber(s);
            cur.push_back({ x, y });
        } else if (cmd == 'D') {
            flush();
            const double x = ReadNumber(s), y = ReadNumber(s);
            cur.push_back({ x, y });
            cur.push_back({ x, y });
            flush();
        } else if (cmd == 'A') {
            const double cx = ReadNumber(s), cy = ReadNumber(s);
            const double rx = ReadNumber(s), ry = ReadNumber(s);
            const double from = ReadNumber(s), to = ReadNumber(s);
            const int steps = std::max(2, static_cast<int>(std::fabs(to - from) / 5.0) + 1);
            for (int i = 0; i <= steps; ++i) {
                const double a = from + (to - from) * i / steps;
                cur.push_back({ cx + rx * CosDeg(a), cy + ry * SinDeg(a) });
            }
        }
    }
    flush();
    Measure(g);
    return g;
}

Glyph BuildComposite(const CompositeDef& d) {
    Glyph g = BuildGlyph(d.base);
    const double cx = (g.minX + g.maxX) * 0.5;
    const double top = d.capital ? 7.0 : 5.0;
    switch (d.mark) {
    case Mark::acute:
        g.paths.push_back({ { cx - 0.5, top + 1.2 }, { cx + 0.8, top + 2.5 } });
        break;
    case Mark::grave:
        g.paths.push_back({ { cx + 0.5, top + 1.2 }, { cx - 0.8, top + 2.5 } });
        break;
    case Mark::circumflex:
        g.paths.push_back({ { cx - 1.3, top + 1.2 }, { cx, top + 2.4 }, { cx + 1.3, top + 1.2 } });
        break;
    case Mark::diaeresis:
        g.paths.push_back({ { cx - 1.2, top + 1.7 }, { cx - 1.2, top + 1.7 } });
        g.paths.push_back({ { cx + 1.2, top + 1.7 }, { cx + 1.2, top + 1.7 } });
        break;
    case Mark::cedilla:
        // Under the bottom of the c's bow, not under its middle.
        g.paths.push_back({ { cx + 0.4, 0.0 }, { cx + 0.3, -0.8 }, { cx + 1.1, -1.3 }, { cx - 0.3, -2.2 } });
        break;
    }
    Measure(g);
    return g;
}

Font BuildFont() {
    Font f;
    for (const GlyphDef& d : kGlyphs) f.glyphs[static_cast<unsigned char>(d.ch)] = BuildGlyph(d.path);
    for (const GlyphDef& d : kSigns) f.glyphs[static_cast<unsigned char>(d.ch)] = BuildGlyph(d.path);
    for (const CompositeDef& d : kComposites) f.glyphs[d.code] = BuildComposite(d);
    return f;
}

// Whether a text can be drawn: every character is a space or has a glyph.
// Returns the first character that cannot, or 0.
unsigned char MissingGlyph(const Font& f, const std::string& text) {
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c != ' ' && c != kNoBreakSpace && !f.glyphs[c].defined) return c;
    }
    return 0;
}

struct TextStyle {
    double cap;       // height of the capitals in pixels
    double weight;    // stroke width in pixels
    double tracking;  // extra pixels between letters
    double slant;     // horizontal shift per pixel of height
};

double Advance(const Font& f, char ch, const TextStyle& st) {
    const double unit = st.cap / 7.0;
    const unsigned char c = static_cast<unsigned char>(ch);
    if (!f.glyphs[c].defined) return unit * 2.6 + st.tracking;
    const Glyph& g = f.glyphs[c];
    return (g.maxX - g.minX) * unit + unit * 1.0 + st.weight * 0.8 + st.tracking;
}

double TextWidth(const Font& f, const std::string& text, const TextStyle& st) {
    double w = 0.0;
    for (char ch : text) w += Advance(f, ch, st);
    return w - st.tracking - (st.cap / 7.0) * 1.0 - st.weight * 0.8 + st.weight;
}

// The strokes of a line of text whose left edge is at x and baseline at y.
std::vector<Segment> TextSegments(const Font& f, const std::string& text, double x, double y,
                                  const TextStyle& st) {
    const double unit = st.cap / 7.0;
    std::vector<Segment> segs;
    double pen = x + st.weight * 0.5;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (f.glyphs[c].defined) {
            const Glyph& g = f.glyphs[c];
            for (const auto& path : g.paths) {
                for (size_t i = 0; i + 1 < path.size(); ++i) {
                    const Pt a = path[i], b = path[i + 1];
                    segs.push_back({ { pen + (a.x - g.minX) * unit + a.y * unit * st.slant, y - a.y * unit },
                                     { pen + (b.x - g.minX) * unit + b.y * unit * st.slant, y - b.y * unit } });
                }
            }
        }
        pen += Advance(f, ch, st);
    }
    return segs;
}

Mask TextMask(const Font& f, const std::string& text, double x, double y, const TextStyle& st) {
    return StrokeMask(TextSegments(f, text, x, y, st), st.weight);
}

enum class Align { left, centre, right };

Mask AlignedText(const Font& f, const std::string& text, double x, double y, const TextStyle& st, Align al) {
    const double w = TextWidth(f, text, st);
    if (al == Align::centre) x -= w * 0.5;
    if (al == Align::right) x -= w;
    return TextMask(f, text, x, y, st);
}

// ---------------------------------------------------------------------------
// Reduction to 256 or 16 colours: median cut, then Floyd-Steinberg
// diffusion.

struct Rgb8 { int r, g, b; };

struct Indexed {
    int width = 0, height = 0;
    std::vector<Rgb8> palette;        // 256 entries (8 bits a pixel) or 16 (4 bits)
    std::vector<uint8_t> index;       // top-down rows
};

struct ColourCount { uint32_t rgb; uint32_t count; };

int Channel(uint32_t rgb, int ch) { return static_cast<int>((rgb >> (16 - 8 * ch)) & 0xFF); }

constexpr uint32_t kSmallTableWeight = 32;
constexpr int kSmallTableRounds = 10;

// At most `colours` colours, padded with black to `tableSize` entries.
std::vector<Rgb8> MedianCut(const std::vector<uint32_t>& pixels, int colours, size_t tableSize) {
    std::vector<uint32_t> sorted = pixels;
    std::sort(sorted.begin(), sorted.end());
    std::vector<ColourCount> hist;
    for (uint32_t p : sorted) {
        if (!hist.empty() && hist.back().rgb == p) ++hist.back().count;
        else hist.push_back({ p, 1 });
    }
    // Few colours: every colour counts at most kSmallTableWeight times, so
    // that a small area of its own colour (a sun, an ink, a lamp) is not
    // outvoted by the large areas of paper and band.
    const bool small = tableSize <= 16;
    if (small)
        for (ColourCount& h : hist) h.count = std::min(h.count, kSmallTableWeight);
    struct Box { size_t begin, end; };
    std::vector<Box> boxes{ { 0, hist.size() } };
    // Squared error of a box around its mean, per channel, weighted like the
    // distance of the colour search below.
    auto spread = [&](const Box& bx, int& channel) {
        uint64_t n = 0, s1[3] = { 0, 0, 0 }, s2[3] = { 0, 0, 0 };
        for (size_t i = bx.begin; i < bx.end; ++i) {
            n += hist[i].count;
            for (int ch = 0; ch < 3; ++ch) {
                const uint64_t v = static_cast<uint64_t>(Channel(hist[i].rgb, ch));
                s1[ch] += v * hist[i].count;
                s2[ch] += v * v * hist[i].count;
            }
        }
        const uint64_t weight[3] = { 3, 4, 2 };
        uint64_t total = 0, best = 0;
        channel = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const uint64_t sse = (s2[ch] * n - s1[ch] * s1[ch]) / n * weight[ch];
            total += sse;
            if (sse > best) { best = sse; channel = ch; }
        }
        return total;
    };
    while (static_cast<int>(boxes.size()) < colours) {
        // Split the box with the largest squared error.
        size_t pick = boxes.size();
        uint64_t pickScore = 0;
        int pickChannel = 0;
        for (size_t k = 0; k < boxes.size(); ++k) {
            if (boxes[k].end - boxes[k].begin < 2) continue;
            int ch = 0;
            const uint64_t score = spread(boxes[k], ch);
            if (score > pickScore) { pickScore = score; pick = k; pickChannel = ch; }
        }
        if (pick == boxes.size()) break;
        Box bx = boxes[pick];
        const int ch = pickChannel;
        std::sort(hist.begin() + static_cast<std::ptrdiff_t>(bx.begin), hist.begin() + static_cast<std::ptrdiff_t>(bx.end),
                  [ch](const ColourCount& a, const ColourCount& b) {
                      const int ca = Channel(a.rgb, ch), cb = Channel(b.rgb, ch);
                      return ca != cb ? ca < cb : a.rgb < b.rgb;
                  });
        uint64_t total = 0;
        for (size_t i = bx.begin; i < bx.end; ++i) total += hist[i].count;
        uint64_t run = 0;
        size_t cut = bx.begin + 1;
        for (size_t i = bx.begin; i < bx.end - 1; ++i) {
            run += hist[i].count;
            cut = i + 1;
            if (run * 2 >= total) break;
        }
        boxes[pick] = { bx.begin, cut };
        boxes.push_back({ cut, bx.end });
    }
    std::vector<Rgb8> pal;
    for (const Box& bx : boxes) {
        uint64_t s[3] = { 0, 0, 0 }, n = 0;
        for (size_t i = bx.begin; i < bx.end; ++i) {
            for (int ch = 0; ch < 3; ++ch) s[ch] += static_cast<uint64_t>(Channel(hist[i].rgb, ch)) * hist[i].count;
            n += hist[i].count;
        }
        pal.push_back({ static_cast<int>((s[0] + n / 2) / n), static_cast<int>((s[1] + n / 2) / n),
                        static_cast<int>((s[2] + n / 2) / n) });
    }
    // With few colours, the cut's boxes alone place them badly: a few rounds
    // move each colour to the mean of the colours nearest to it.
    for (int round = 0; small && round < kSmallTableRounds; ++round) {
        std::vector<uint64_t> sum(pal.size() * 4, 0);
        for (const ColourCount& h : hist) {
            size_t best = 0;
            int bestDist = 1 << 30;
            for (size_t i = 0; i < pal.size(); ++i) {
                const int dr = Channel(h.rgb, 0) - pal[i].r, dg = Channel(h.rgb, 1) - pal[i].g,
                          db = Channel(h.rgb, 2) - pal[i].b;
                const int dist = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (dist < bestDist) { bestDist = dist; best = i; }
            }
            for (int ch = 0; ch < 3; ++ch) sum[best * 4 + ch] += static_cast<uint64_t>(Channel(h.rgb, ch)) * h.count;
            sum[best * 4 + 3] += h.count;
        }
        for (size_t i = 0; i < pal.size(); ++i) {
            const uint64_t n = sum[i * 4 + 3];
            if (n == 0) continue;
            pal[i] = { static_cast<int>((sum[i * 4] + n / 2) / n), static_cast<int>((sum[i * 4 + 1] + n / 2) / n),
                       static_cast<int>((sum[i * 4 + 2] + n / 2) / n) };
        }
    }
    std::sort(pal.begin(), pal.end(), [](const Rgb8& a, const Rgb8& b) {
        const int la = a.r * 3 + a.g * 6 + a.b, lb = b.r * 3 + b.g * 6 + b.b;
        if (la != lb) return la < lb;
        if (a.r != b.r) return a.r < b.r;
        if (a.g != b.g) return a.g < b.g;
        return a.b < b.b;
    });
    while (pal.size() < tableSize) pal.push_back({ 0, 0, 0 });
    return pal;
}

uint32_t Packed(const Rgb8& p) {
    return (static_cast<uint32_t>(p.r) << 16) | (static_cast<uint32_t>(p.g) << 8) | static_cast<uint32_t>(p.b);
}

// Reduces top-down RGB pixels to a colour table of `tableSize` entries (256
// or 16).  With a key colour, the pixels of that colour keep it exactly in
// an entry of their own, which no other pixel takes, and no error diffuses
// into or out of them: they are holes, not colours.
Indexed ReduceRgb(const std::vector<uint32_t>& rgb, int width, int height, size_t tableSize,
                  const uint32_t* key = nullptr) {
    Indexed out;
    out.width = width;
    out.height = height;
    std::vector<uint32_t> opaque;
    if (key != nullptr) {
        for (uint32_t p : rgb)
            if (p != *key) opaque.push_back(p);
    }
    const std::vector<uint32_t>& counted = key != nullptr ? opaque : rgb;
    const int colours = static_cast<int>(key != nullptr ? tableSize - 1 : tableSize);
    out.palette = MedianCut(counted, colours, tableSize);
    // The entries the opaque pixels may take, and the key's own entry after
    // them.  An average that came out as the key colour moves off it.
    int searched = static_cast<int>(tableSize);
    int keyIndex = -1;
    if (key != nullptr) {
        searched = colours;
        keyIndex = colours;
        const Rgb8 k{ static_cast<int>((*key >> 16) & 0xFF), static_cast<int>((*key >> 8) & 0xFF),
                      static_cast<int>(*key & 0xFF) };
        for (int i = 0; i < searched; ++i)
            if (Packed(out.palette[i]) == *key) out.palette[i].b ^= 1;
        out.palette[keyIndex] = k;
    }
    out.index.assign(rgb.size(), 0);

    // Errors in sixteenths, carried to the next row; serpentine order.  The
    // error a pixel takes on is limited, so that a colour the palette lacks
    // cannot build up into stray specks.
    const int w = width;
    std::vector<int> errCur(static_cast<size_t>(w + 2) * 3, 0), errNext(static_cast<size_t>(w + 2) * 3, 0);
    for (int y = 0; y < height; ++y) {
        std::fill(errNext.begin(), errNext.end(), 0);
        const bool rightward = (y % 2) == 0;
        for (int k = 0; k < w; ++k) {
            const int x = rightward ? k : w - 1 - k;
            const int dir = rightward ? 1 : -1;
            const uint32_t p = rgb[static_cast<size_t>(y) * w + x];
            if (key != nullptr && p == *key) {
                out.index[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(keyIndex);
                continue;
            }
            int want[3];
            for (int ch = 0; ch < 3; ++ch)
                want[ch] = std::clamp(Channel(p, ch) + std::clamp(errCur[(x + 1) * 3 + ch] / 16, -20, 20), 0, 255);
            int best = 0, bestDist = 1 << 30;
            for (int i = 0; i < searched; ++i) {
                const Rgb8& q = out.palette[i];
                const int dr = want[0] - q.r, dg = want[1] - q.g, db = want[2] - q.b;
                const int dist = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (dist < bestDist) { bestDist = dist; best = i; }
            }
            out.index[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(best);
            const Rgb8& q = out.palette[best];
            const int e[3] = { want[0] - q.r, want[1] - q.g, want[2] - q.b };
            for (int ch = 0; ch < 3; ++ch) {
                errCur[(x + 1 + dir) * 3 + ch] += e[ch] * 7;
                errNext[(x + 1 - dir) * 3 + ch] += e[ch] * 3;
                errNext[(x + 1) * 3 + ch] += e[ch] * 5;
                errNext[(x + 1 + dir) * 3 + ch] += e[ch] * 1;
            }
        }
        std::swap(errCur, errNext);
    }
    return out;
}

Indexed Reduce(const Canvas& c, size_t tableSize) {
    std::vector<uint32_t> rgb(c.px.size());
    for (size_t i = 0; i < c.px.size(); ++i)
        rgb[i] = (static_cast<uint32_t>(ToByte(c.px[i].r)) << 16) |
                 (static_cast<uint32_t>(ToByte(c.px[i].g)) << 8) | ToByte(c.px[i].b);
    return ReduceRgb(rgb, c.width, c.height, tableSize);
}

// ---------------------------------------------------------------------------
// Files

void Put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(static_cast<uint8_t>(x)); v.push_back(static_cast<uint8_t>(x >> 8)); }
void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, x & 0xFFFF); Put16(v, x >> 16); }

// BITMAPINFOHEADER: 40 bytes, bottom-up rows, no compression.
void PutInfoHeader(std::vector<uint8_t>& v, int w, int h, int bits, uint32_t imageBytes, uint32_t coloursUsed) {
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(w));
    Put32(v, static_cast<uint32_t>(h));
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(bits));
    Put32(v, 0);                     // BI_RGB
    Put32(v, imageBytes);
    Put32(v, 2835);                  // 72 dots per inch
    Put32(v, 2835);
    Put32(v, coloursUsed);
    Put32(v, 0);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) { std::fprintf(stderr, "mkart: cannot write %s\n", path.c_str()); return false; }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// 8 bits a pixel for a table of 256 colours, 4 for one of 16 (two pixels a
// byte, the left one in the high half).  The table is always full, as the
// billboard loader expects.
std::vector<uint8_t> BitmapIndexed(const Indexed& img) {
    const int bits = img.palette.size() == 16 ? 4 : 8;
    const uint32_t rowBytes = static_cast<uint32_t>(((img.width * bits + 31) / 32) * 4);
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(img.height);
    const uint32_t tableEntries = static_cast<uint32_t>(img.palette.size());
    const uint32_t offset = 14 + 40 + tableEntries * 4;
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    Put32(v, offset + imageBytes);
    Put32(v, 0);
    Put32(v, offset);
    PutInfoHeader(v, img.width, img.height, bits, imageBytes, tableEntries);
    for (const Rgb8& p : img.palette) {
        v.push_back(static_cast<uint8_t>(p.b));
        v.push_back(static_cast<uint8_t>(p.g));
        v.push_back(static_cast<uint8_t>(p.r));
        v.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        const uint8_t* row = &img.index[static_cast<size_t>(y) * img.width];
        const size_t start = v.size();
        if (bits == 8) {
            for (int x = 0; x < img.width; ++x) v.push_back(row[x]);
        } else {
            for (int x = 0; x < img.width; x += 2) {
                const int right = x + 1 < img.width ? row[x + 1] : 0;
                v.push_back(static_cast<uint8_t>((row[x] << 4) | right));
            }
        }
        while (v.size() - start < rowBytes) v.push_back(0);
    }
    return v;
}

// ---------------------------------------------------------------------------
// Icons: 32 x 32, 16 colours of the standard VGA palette, hard edges.

const uint32_t kVga[16] = { 0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                            0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF };
enum VgaColour : int { vgaBlack, vgaMaroon, vgaGreen, vgaOlive, vgaNavy, vgaPurple, vgaTeal, vgaSilver,
                       vgaGrey, vgaRed, vgaLime, vgaYellow, vgaBlue, vgaFuchsia, vgaAqua, vgaWhite };

struct Icon {
    int colour[32][32];   // VGA index, or -1 where the icon is transparent
};

Icon EmptyIcon() {
    Icon ic;
    for (auto& row : ic.colour)
        for (int& c : row) c = -1;
    return ic;
}

// Sets every pixel whose coverage is at least one half.
void IconPaint(Icon& ic, const Mask& m, int colour) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (CovAt(m, x - m.x0, y - m.y0) >= 0.5) ic.colour[y][x] = colour;
}

// A shape with a one-pixel outline: the outline colour where the shape grown
// by a pixel covers, then the fill.
void IconPaintOutlined(Icon& ic, const Mask& grown, const Mask& shape, int fill, int outline) {
    IconPaint(ic, grown, outline);
    IconPaint(ic, shape, fill);
}

std::vector<uint8_t> IconFile(const Icon& ic) {
    std::vector<uint8_t> v;
    Put16(v, 0);
    Put16(v, 1);        // icon
    Put16(v, 1);        // one image
    v.push_back(32);
    v.push_back(32);
    v.push_back(16);    // colours
    v.push_back(0);
    Put16(v, 1);        // planes
    Put16(v, 4);        // bits per pixel
    const uint32_t xorBytes = 16 * 32, andBytes = 4 * 32;
    Put32(v, 40 + 16 * 4 + xorBytes + andBytes);
    Put32(v, 22);
    PutInfoHeader(v, 32, 64, 4, xorBytes + andBytes, 0);
    for (uint32_t c : kVga) {
        v.push_back(static_cast<uint8_t>(c & 0xFF));
        v.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
        v.push_back(static_cast<uint8_t>((c >> 16) & 0xFF));
        v.push_back(0);
    }
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 2) {
            const int a = std::max(0, ic.colour[y][x]), b = std::max(0, ic.colour[y][x + 1]);
            v.push_back(static_cast<uint8_t>((a << 4) | b));
        }
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 8) {
            int bits = 0;
            for (int k = 0; k < 8; ++k)
                if (ic.colour[y][x + k] < 0) bits |= 0x80 >> k;
            v.push_back(static_cast<uint8_t>(bits));
        }
    return v;
}

// ---------------------------------------------------------------------------
// The house colours

const Colour kNavy = Hex(0x0B1B4D);
const Colour kInk = Hex(0x1B2440);
const Colour kGold = Hex(0xF2A93B);
const Colour kWhite = Hex(0xFFFFFF);
const Colour kPaper = Hex(0xFBF8F2);
const Colour kLineGrey = Hex(0xBFC3CC);
const Colour kTeal = Hex(0x2DB4B2);

// The backdrop is 700 x 525 and is stretched over the backdrop window's
// client area, which on a 1024 x 768 screen is about 916 x 660 pixels.
constexpr int kBackdropW = 700, kBackdropH = 525;
constexpr double kClientW = 916.0, kClientH = 660.0;

Colour BackdropBase(double x, double y) {
    const Colour deep = Hex(0x08143A), mid = Hex(0x12397A), sea = Hex(0x0C7482);
    const double t = Smooth(0.58 * x / kBackdropW + 0.42 * y / kBackdropH);
    Colour c = t < 0.55 ? Mix(deep, mid, Smooth(t / 0.55)) : Mix(mid, sea, Smooth((t - 0.55) / 0.45));
    // A soft light from behind the pages in the middle.
    const double dx = (x - 390.0) / 420.0, dy = (y - 230.0) / 330.0;
    const double glow = Clamp01(1.0 - (dx * dx + dy * dy));
    c = Mix(c, Hex(0x5AA7D6), 0.16 * glow * glow);
    return c;
}

// A faint two-page spread: pages, a headline, columns of text, a picture.
void FaintSpread(Canvas& c, Lcg& rnd, double cx, double cy, double pw, double ph, double alpha) {
    for (int side = 0; side < 2; ++side) {
        const double l = side == 0 ? cx - pw - 1.0 : cx + 1.0;
        const double t = cy - ph * 0.5;
        Paint(c, RectMask(l, t, l + pw, t + ph), kWhite, alpha * 0.35);
        Paint(c, RoundRectOutline(l, t, l + pw, t + ph, 0.5, 1.0), kWhite, alpha);
        const double m = pw * 0.1;
        const double il = l + m, ir = l + pw - m;
        double y = t + m;
        if (side == 0) {
            Paint(c, RectMask(il, y, ir - pw * 0.15, y + ph * 0.06), kWhite, alpha * 1.4);
            y += ph * 0.11;
        }
        const double colW = (ir - il - m * 0.6) / 2.0;
        const double lineGap = std::max(2.6, ph * 0.034);
        for (int col = 0; col < 2; ++col) {
            const double cl = il + col * (colW + m * 0.6);
            double ly = y;
            const bool picture = (side == 1 && col == 0) || (side == 0 && col == 1);
            if (picture) {
                const double pic = colW * 0.85;
                Paint(c, RectMask(cl, ly, cl + colW, ly + pic), kWhite, alpha * 0.9);
                ly += pic + lineGap;
            }
            while (ly < t + ph - m) {
                double len = colW;
                const double r = NextUnit(rnd);
                if (r < 0.18) len = colW * (0.35 + 0.4 * NextUnit(rnd));
                Paint(c, RectMask(cl, ly, cl + len, ly + std::max(0.8, lineGap * 0.42)), kWhite, alpha * 0.8);
                ly += lineGap;
                if (r < 0.18) ly += lineGap * 0.6;
            }
        }
    }
}

Canvas DrawBackdropCanvas(const Font& font) {
    Canvas c = MakeCanvas(kBackdropW, kBackdropH, kNavy);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) Pixel(c, x, y) = BackdropBase(x + 0.5, y + 0.5);

    // The layout grid of a page designer: faint column guides.
    for (int k = 0; k < 13; ++k) {
        const double x = 205.0 + k * 38.0;
        Paint(c, RectMask(x, 0, x + 1.0, kBackdropH), Hex(0x9BD4F0), 0.045);
    }
    Paint(c, RectMask(190, 96.0, kBackdropW, 97.0), Hex(0x9BD4F0), 0.05);
    Paint(c, RectMask(0, 412.0, kBackdropW, 413.0), Hex(0x9BD4F0), 0.04);

    Lcg rnd{ 0x7051u };
    FaintSpread(c, rnd, 352, 262, 118, 152, 0.085);
    FaintSpread(c, rnd, 146, 236, 72, 94, 0.10);
    FaintSpread(c, rnd, 586, 176, 74, 96, 0.10);
    FaintSpread(c, rnd, 128, 424, 64, 84, 0.085);
    FaintSpread(c, rnd, 330, 458, 54, 70, 0.07);
    FaintSpread(c, rnd, 600, 330, 48, 62, 0.075);
    FaintSpread(c, rnd, 300, 74, 40, 52, 0.06);

    // The product name in the lower right corner.  The picture is stretched
    // over the whole backdrop (700 to about 916 pixels across on a 1024 x 768
    // screen), so in this picture's scale the pages take x 147 to 552 and y
    // 124 to 385, and the panels x 167 to 533 from y 425 down.  The name sits
    // between the two.  The backdrop is the same in every language, so it
    // carries no words but the name: the line under the name is the logo's.
    const TextStyle nameStyle{ 30.0, 6.0, 0.5, 0.0 };
    const std::string name = "Tovarin";
    const double right = 684.0, baseline = 400.0;
    const Mask nameMask = AlignedText(font, name, right, baseline, nameStyle, Align::right);
    Shadow(c, nameMask, 2, 3, 3, 0.55, Hex(0x020818));
    PaintWith(c, nameMask, 1.0, [&](double, double y) {
        return Mix(kWhite, Hex(0xCFE9F2), Clamp01((y - (baseline - 30.0)) / 30.0));
    });
    const double nameW = TextWidth(font, name, nameStyle);
    Paint(c, RectMask(right - nameW + 2.0, baseline + 8.0, right, baseline + 9.5), kGold, 1.0);
    return c;
}

// ---------------------------------------------------------------------------
// The emblem: a white page with a folded corner in front of a teal page,
// with a headline, a picture and lines of text.  Drawn in a 56 x 56 box.

void DrawEmblem(Canvas& c, double ox, double oy, double size) {
    const double k = size / 56.0;
    const Affine back = Placement(ox + 30.0 * k, oy + 27.0 * k, -12.0);
    const Affine front = Placement(ox + 25.0 * k, oy + 30.0 * k, 4.0);
    const double hw = 15.0 * k, hh = 20.0 * k;

    const Mask backPage = QuadMask(back, -hw, -hh, hw, hh);
    Shadow(c, backPage, 1, 2, 2, 0.45);
    Paint(c, backPage, kTeal);
    Paint(c, QuadMask(back, -hw + 4 * k, -hh + 5 * k, hw - 4 * k, -hh + 8 * k), Hex(0xB8F0EC), 0.9);

    const double fold = 8.0 * k;
    const std::vector<Pt> outline = { Apply(front, -hw, -hh), Apply(front, hw - fold, -hh), Apply(front, hw, -hh + fold),
                                      Apply(front, hw, hh), Apply(front, -hw, hh) };
    const Mask frontPage = PolygonMask(outline);
    Shadow(c, frontPage, 2, 3, 2, 0.5);
    Paint(c, frontPage, kWhite);
    Paint(c, PolygonMask({ Apply(front, hw - fold, -hh), Apply(front, hw - fold, -hh + fold), Apply(front, hw, -hh + fold) }),
          Hex(0xC9D3E3));
    // Headline, picture and text on the front page.
    Paint(c, QuadMask(front, -hw + 4 * k, -hh + 5 * k, hw - 10 * k, -hh + 10 * k), Hex(0x1D3C8C));
    const Pt sun = Apply(front, -hw + 10.5 * k, -hh + 19.5 * k);
    Paint(c, CircleMask(sun.x, sun.y, 5.0 * k), kGold);
    for (int i = 0; i < 4; ++i) {
        const double y = -hh + 15.0 * k + i * 4.0 * k;
        Paint(c, QuadMask(front, -hw + 18 * k, y, hw - 4 * k, y + 1.8 * k), Hex(0x8E9AB4));
    }
    for (int i = 0; i < 3; ++i) {
        const double y = -hh + 29.0 * k + i * 4.0 * k;
        Paint(c, QuadMask(front, -hw + 4 * k, y, hw - (i == 2 ? 12 : 4) * k, y + 1.8 * k), Hex(0x8E9AB4));
    }
}

// ---------------------------------------------------------------------------
// The logo: emblem and wordmark, drawn at (30, 30) on the backdrop window.
// Pixels it does not cover are magenta, RGB FF00FF, which shows the backdrop
// through.  Soft edges are blended against the backdrop that will be
// beneath them, so that no fringe of magenta can show.

const TextStyle kLogoWord{ 22.5, 4.8, 0.2, 0.0 };
const TextStyle kLogoTag{ 5.6, 1.1, 1.55, 0.0 };
const char kLogoName[] = "Tovarin";

// The line under the name ends where the name ends and may not reach
// further left than the name begins.
double LogoTagRoom(const Font& font) { return TextWidth(font, kLogoName, kLogoWord); }

std::vector<uint32_t> DrawLogo(const Font& font, const Canvas& backdrop, const std::string& tag, int& w, int& h) {
    const TextStyle& word = kLogoWord;
    const TextStyle& small = kLogoTag;
    const std::string name = kLogoName;
    const double textX = 63.0;
    const double wordW = TextWidth(font, name, word);
    w = (static_cast<int>(textX + wordW + 8.0) + 3) & ~3;
    h = 60;

    // What the backdrop shows beneath the logo once stretched.
    Canvas under = MakeCanvas(w, h, kNavy);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Pixel(under, x, y) = SampleBilinear(backdrop, (30.0 + x + 0.5) * kBackdropW / kClientW,
                                                (30.0 + y + 0.5) * kBackdropH / kClientH);
    Canvas logo = under;
    DrawEmblem(logo, 2.0, 2.0, 56.0);
    const Mask wordMask = TextMask(font, name, textX, 35.0, word);
    Shadow(logo, wordMask, 1, 2, 2, 0.55, Hex(0x020818));
    Paint(logo, wordMask, kWhite);
    const double tagW = TextWidth(font, tag, small);
    Paint(logo, RectMask(textX + 1.0, 42.0, textX + wordW, 43.2), kGold);
    Paint(logo, TextMask(font, tag, textX + wordW - tagW, 53.0, small), Hex(0xA9E4E8));

    // Whatever the logo changed visibly is opaque, soft shadows included;
    // the rest is the key colour.
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Colour c = Pixel(logo, x, y);
            Rgb8 p{ ToByte(c.r), ToByte(c.g), ToByte(c.b) };
            const Colour u = Pixel(under, x, y);
            const double change = std::fabs(c.r - u.r) + std::fabs(c.g - u.g) + std::fabs(c.b - u.b);
            if (change < 3.0 / 255.0) p = { 0xFF, 0x00, 0xFF };
            else if (p.r == 0xFF && p.g == 0x00 && p.b == 0xFF) p.b = 0xFE;
            px[static_cast<size_t>(y) * w + x] = Packed(p);
        }
    return px;
}

const uint32_t kLogoKey = 0xFF00FF;

// ---------------------------------------------------------------------------
// Billboards: 230 x 280, a coloured band with a headline, a picture and two
// lines of caption.

constexpr int kBillW = 230, kBillH = 280;

const TextStyle kHeadline{ 17.0, 2.9, 0.4, 0.0 };
const TextStyle kCaption{ 7.4, 1.3, 0.35, 0.0 };
const TextStyle kGuideNote{ 5.2, 1.0, 0.8, 0.0 };

// The words of one billboard: the headline in the band, two lines of
// caption under the picture.
struct BoardTexts { std::string heading, line1, line2; };

struct Billboard {
    Colour accent;
    const BoardTexts& texts;
};

Canvas BillboardFrame(const Font& font, const Billboard& b) {
    Canvas c = MakeCanvas(kBillW, kBillH, kPaper);
    const Colour dark = Scale(b.accent, 0.72);
    PaintWith(c, RectMask(0, 0, kBillW, 66), 1.0, [&](double x, double y) {
        return Mix(b.accent, dark, Clamp01(0.65 * y / 66.0 + 0.35 * x / kBillW));
    });
    // A light sheen across the band.
    Paint(c, PolygonMask({ { 150, 0 }, { 230, 0 }, { 230, 66 }, { 110, 66 } }), kWhite, 0.06);
    Paint(c, RectMask(0, 66, kBillW, 68), Scale(b.accent, 0.5), 0.5);

    const TextStyle label{ 5.4, 1.05, 1.6, 0.0 };
    Paint(c, TextMask(font, "TOVARIN", 16, 21, label), kWhite, 0.75);
    const Mask headMask = TextMask(font, b.texts.heading, 15, 48, kHeadline);
    Shadow(c, headMask, 1, 1, 1, 0.35);
    Paint(c, headMask, kWhite);

    Paint(c, TextMask(font, b.texts.line1, 16, 247, kCaption), Hex(0x39404F));
    Paint(c, TextMask(font, b.texts.line2, 16, 260, kCaption), Hex(0x39404F));
    Paint(c, RectMask(0, kBillH - 7, kBillW, kBillH), b.accent);
    return c;
}

// A white sheet with a soft shadow.
void Sheet(Canvas& c, double l, double t, double r, double b) {
    const Mask m = RectMask(l, t, r, b);
    Shadow(c, m, 2, 3, 3, 0.28);
    Paint(c, m, kWhite);
    Paint(c, RoundRectOutline(l + 0.5, t + 0.5, r - 0.5, b - 0.5, 0.0, 1.0), Hex(0xD5D8DE));
}

// Lines of text, some paragraphs ending short.
void TextLines(Canvas& c, Lcg& rnd, double l, double r, double top, double bottom, double gap, double thick,
               Colour colour) {
    for (double y = top; y + thick <= bottom; y += gap) {
        double len = r - l;
        if (NextUnit(rnd) < 0.2) len *= 0.45 + 0.35 * NextUnit(rnd);
        Paint(c, RectMask(l, y, l + len, y + thick), colour);
    }
}

// A small landscape: sky, sun, hills.
void Landscape(Canvas& c, double l, double t, double r, double b) {
    PaintWith(c, RectMask(l, t, r, b), 1.0, [&](double, double y) {
        return Mix(Hex(0x5AA6E8), Hex(0xDDF0FB), Clamp01((y - t) / (b - t)));
    });
    const double w = r - l, h = b - t;
    Paint(c, CircleMask(l + w * 0.74, t + h * 0.3, h * 0.14), Hex(0xFFD56A));
    Paint(c, PolygonMask({ { l, b }, { l, t + h * 0.62 }, { l + w * 0.28, t + h * 0.38 }, { l + w * 0.52, t + h * 0.6 },
                           { l + w * 0.7, t + h * 0.48 }, { r, t + h * 0.66 }, { r, b } }),
          Hex(0x6C86B8));
    Paint(c, PolygonMask({ { l, b }, { l, t + h * 0.8 }, { l + w * 0.35, t + h * 0.68 }, { l + w * 0.7, t + h * 0.82 },
                           { r, t + h * 0.72 }, { r, b } }),
          Hex(0x3E9A5A));
}

void Handle(Canvas& c, double x, double y) {
    Paint(c, RectMask(x - 2, y - 2, x + 2, y + 2), Hex(0x101010));
    Paint(c, RectMask(x - 1, y - 1, x + 1, y + 1), kWhite);
}

// The mouse arrow with its tip at (x, y).
void Arrow(Canvas& c, double x, double y, double s) {
    const std::vector<Pt> p = { { x, y }, { x, y + 16 * s }, { x + 4 * s, y + 12.5 * s }, { x + 7 * s, y + 19 * s },
                                { x + 9.5 * s, y + 18 * s }, { x + 6.6 * s, y + 11.6 * s }, { x + 11.5 * s, y + 11.6 * s } };
    const Mask m = PolygonMask(p);
    Shadow(c, m, 1, 2, 1, 0.3);
    std::vector<Segment> edge;
    for (size_t i = 0; i < p.size(); ++i) edge.push_back({ p[i], p[(i + 1) % p.size()] });
    Paint(c, StrokeMask(edge, 1.6), Hex(0x101010));
    Paint(c, m, kWhite);
    Paint(c, StrokeMask(edge, 0.9), Hex(0x101010));
}

Canvas BillboardLayout(const Font& font, const BoardTexts& texts) {
    const Billboard b{ Hex(0x2456A8), texts };
    Canvas c = BillboardFrame(font, b);
    Lcg rnd{ 5u };
    Sheet(c, 26, 82, 146, 230);
    Paint(c, RectMask(36, 92, 124, 100), Hex(0x1D3C8C));
    Paint(c, RectMask(36, 104, 104, 106.5), Hex(0x8E9AB4));
    Landscape(c, 36, 113, 136, 160);
    TextLines(c, rnd, 36, 84, 166, 222, 5.0, 1.7, kLineGrey);
    TextLines(c, rnd, 88, 136, 166, 222, 5.0, 1.7, kLineGrey);
    // Guides across the sheet.
    const Colour guide = Hex(0x18A7D8);
    Paint(c, DashedLineMask(36, 76, 36, 236, 1.0, 3, 2), guide);
    Paint(c, DashedLineMask(136, 76, 136, 236, 1.0, 3, 2), guide);
    Paint(c, DashedLineMask(18, 163, 154, 163, 1.0, 3, 2), guide);
    // The picture frame is selected.
    Paint(c, RoundRectOutline(36, 113, 136, 160, 0, 1.0), Hex(0x101010));
    for (double x : { 36.0, 86.0, 136.0 })
        for (double y : { 113.0, 136.5, 160.0 })
            if (x != 86.0 || y != 136.5) Handle(c, x, y);
    // A tool palette floating beside the page.
    const Mask pal = RectMask(162, 96, 206, 184);
    Shadow(c, pal, 2, 3, 3, 0.3);
    Paint(c, pal, Hex(0xD4D0C8));
    Paint(c, RectMask(162, 96, 206, 104), Hex(0x1D2F7A));
    Paint(c, RoundRectOutline(162.5, 96.5, 205.5, 183.5, 0, 1.0), Hex(0x7A7870));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col) {
            const double l = 166 + col * 19.0, t = 108 + row * 19.0;
            const bool on = row == 0 && col == 0;
            Paint(c, RectMask(l, t, l + 17, t + 17), on ? Hex(0xEDEBE6) : Hex(0xE2DFD8));
            Paint(c, RoundRectOutline(l + 0.5, t + 0.5, l + 16.5, t + 16.5, 0, 1.0), on ? Hex(0x6F6C66) : Hex(0xA9A69F));
        }
    const Colour ink = Hex(0x202020);
    Paint(c, PolygonMask({ { 171, 111 }, { 171, 122 }, { 174, 119.5 }, { 176, 124 }, { 177.8, 123.2 }, { 175.9, 118.8 }, { 179.5, 118.8 } }), ink);
    Paint(c, TextMask(font, "T", 190.3, 122, { 9.0, 1.8, 0, 0 }), ink);
    Paint(c, RoundRectOutline(170, 131, 180, 139, 0, 1.3), ink);
    Paint(c, RingMask(194, 135, 4.5, 1.3), ink);
    Paint(c, LineMask(170, 157, 180, 149, 1.3), ink);
    Paint(c, RingMask(193, 152, 3.6, 1.3), ink);
    Paint(c, LineMask(195.6, 154.6, 198.5, 157.5, 1.8), ink);
    Paint(c, RectMask(169.5, 168, 180.5, 176), Hex(0x2456A8));
    Paint(c, RectMask(187, 168, 199, 176), kGold);
    Arrow(c, 110, 146, 0.9);
    return c;
}

// The guides of the typography billboard and how far left each name may
// reach: the one over the cap height has the width of the picture, the
// others end short of the big letters beneath them.
struct TypeGuides { std::string capHeight, xHeight, baseline; };

constexpr double kGuideRight = 216.0, kLettersLeft = 28.0, kBigCap = 58.0, kBigWeight = 8.5;

const TextStyle kBigLetters{ kBigCap, kBigWeight, 1.0, 0.0 };

double GuideRoom(const Font& font, int guide) {
    if (guide == 0) return kGuideRight - 14.0;
    const char* under = guide == 1 ? "A" : "Aa";
    return kGuideRight - (kLettersLeft + TextWidth(font, under, kBigLetters) + 6.0);
}

Canvas BillboardType(const Font& font, const BoardTexts& texts, const TypeGuides& guides) {
    const Billboard b{ Hex(0xA8323E), texts };
    Canvas c = BillboardFrame(font, b);
    const double base = 176.0, cap = kBigCap;
    const Colour rule = Hex(0xD9545F);
    const TextStyle& note = kGuideNote;
    // The strokes are round-capped, so the letters reach half a stroke
    // beyond their lines: the guides sit at the outer edges.
    const double half = kBigWeight * 0.5;
    const double lines[3] = { base - cap - half, base - cap * 5.0 / 7.0 - half, base + half };
    const std::string* names[3] = { &guides.capHeight, &guides.xHeight, &guides.baseline };
    for (int i = 0; i < 3; ++i) {
        if (i == 2) Paint(c, RectMask(14, lines[i], 216, lines[i] + 1.0), rule);
        else Paint(c, DashedLineMask(14, lines[i] + 0.5, 216, lines[i] + 0.5, 1.0, 4, 3), rule);
        Paint(c, AlignedText(font, *names[i], kGuideRight, lines[i] - 3.0, note, Align::right), rule);
    }
    const Mask aa = TextMask(font, "Aa", kLettersLeft, base, kBigLetters);
    Shadow(c, aa, 2, 3, 2, 0.18);
    Paint(c, aa, kInk);
    // A ladder of sizes.
    double x = 18.0;
    for (double size : { 5.0, 7.0, 9.5, 13.0, 17.0, 22.0 }) {
        const TextStyle st{ size, std::max(1.0, size * 0.15), 0.2, 0.0 };
        Paint(c, TextMask(font, "Aa", x, 222, st), Hex(0x39404F));
        x += TextWidth(font, "Aa", st) + 10.0;
    }
    return c;
}

Canvas BillboardPictures(const Font& font, const BoardTexts& texts) {
    const Billboard b{ Hex(0x177A6A), texts };
    Canvas c = BillboardFrame(font, b);
    Lcg rnd{ 77u };
    Sheet(c, 16, 80, 214, 232);
    const Colour line = kLineGrey;
    TextLines(c, rnd, 26, 178, 90, 100, 5.0, 1.7, line);
    // The photograph, tilted a little, with a white border.
    const Affine photo = Placement(84, 138, -4.0);
    const Mask border = QuadMask(photo, -54, -33, 54, 33);
    Shadow(c, border, 2, 3, 3, 0.35);
    Paint(c, border, kWhite);
    Canvas pic = MakeCanvas(102, 60, kWhite);
    Landscape(pic, 0, 0, 102, 60);
    const Mask inner = QuadMask(photo, -51, -30, 51, 30);
    PaintWith(c, inner, 1.0, [&](double x, double y) {
        // Undo the tilt to find the photograph's own pixel.
        const double dx = x - photo.e, dy = y - photo.f;
        const double u = photo.a * dx + photo.c * dy + 51.0, v = photo.b * dx + photo.d * dy + 30.0;
        return SampleBilinear(pic, u, v);
    });
    // Text beside and below the picture.
    TextLines(c, rnd, 150, 204, 106, 174, 5.0, 1.7, line);
    TextLines(c, rnd, 26, 204, 181, 226, 5.0, 1.7, line);
    // A clip-art star on the page corner.
    std::vector<Pt> star;
    for (int i = 0; i < 10; ++i) {
        const double r = (i % 2 == 0) ? 13.0 : 5.6;
        star.push_back({ 196 + r * SinDeg(i * 36.0), 92 - r * CosDeg(i * 36.0) });
    }
    const Mask starMask = PolygonMask(star);
    Shadow(c, starMask, 1, 2, 1, 0.3);
    Paint(c, starMask, kGold);
    return c;
}

Canvas BillboardPrinting(const Font& font, const BoardTexts& texts) {
    const Billboard b{ Hex(0x5A3F91), texts };
    Canvas c = BillboardFrame(font, b);
    Lcg rnd{ 31u };
    // The page coming out of the printer.
    Sheet(c, 66, 82, 164, 150);
    Paint(c, RectMask(74, 90, 156, 96), Hex(0x1D3C8C));
    Landscape(c, 74, 100, 112, 126);
    TextLines(c, rnd, 116, 156, 101, 126, 4.5, 1.5, kLineGrey);
    const Colour inks[4] = { Hex(0x00A3E0), Hex(0xE0218A), Hex(0xFFE01B), Hex(0x231F20) };
    for (int i = 0; i < 4; ++i) Paint(c, RectMask(74 + i * 10.0, 132, 82 + i * 10.0, 140), inks[i]);
    // The printer.
    const Mask body = RoundRectMask(34, 138, 196, 196, 6);
    Shadow(c, body, 2, 3, 3, 0.3);
    PaintWith(c, body, 1.0, [](double, double y) { return Mix(Hex(0xE4E6EA), Hex(0xB5B9C2), Clamp01((y - 138) / 58)); });
    Paint(c, RoundRectMask(48, 134, 182, 146, 3), Hex(0x8D929C));
    Paint(c, RectMask(58, 139, 172, 142), Hex(0x3A3E46));
    Paint(c, RectMask(54, 172, 176, 176), Hex(0x8D929C));
    Paint(c, CircleMask(184, 154, 2.5), Hex(0x3BD16F));
    Paint(c, RectMask(164, 152, 176, 156), Hex(0x9AA0AA));
    // Four inks, overprinted.
    const double cy = 216.0;
    for (int i = 0; i < 4; ++i)
        Paint(c, CircleMask(86 + i * 19.0, cy, 12.0), inks[i], i == 3 ? 0.85 : 1.0, BlendMode::multiply);
    return c;
}

// A small document drawn in its own coordinates around its centre.
void Document(Canvas& c, const Affine& m, int kind) {
    const double hw = 44, hh = 58;
    const Mask page = QuadMask(m, -hw, -hh, hw, hh);
    Shadow(c, page, 2, 3, 3, 0.32);
    Paint(c, page, kWhite);
    Lcg rnd{ static_cast<uint32_t>(kind * 17 + 3) };
    auto line = [&](double l, double t, double r, double thick, Colour col) {
        Paint(c, QuadMask(m, l, t, r, t + thick), col);
    };
    if (kind == 0) {  // newsletter
        Paint(c, QuadMask(m, -hw, -hh, hw, -hh + 20), Hex(0x1D3C8C));
        line(-hw + 8, -hh + 7, 8, 5, kWhite);
        line(-hw + 8, -hh + 14, -4, 2, Hex(0x9FB4E6));
        for (int col = 0; col < 3; ++col) {
            const double l = -hw + 7 + col * 27.0;
            for (double y = -hh + 27; y < hh - 8; y += 5) {
                const double len = NextUnit(rnd) < 0.15 ? 14 : 23;
                line(l, y, l + len, 1.6, kLineGrey);
            }
        }
    } else if (kind == 1) {  // flyer
        const Pt sun = Apply(m, 0, -18);
        Paint(c, CircleMask(sun.x, sun.y, 24), Hex(0xF28C28));
        line(-30, 14, 30, 7, Hex(0x2A2A2A));
        line(-22, 26, 22, 3, Hex(0x777777));
        line(-26, 34, 26, 2, kLineGrey);
        line(-26, 40, 26, 2, kLineGrey);
        line(-18, 46, 18, 2, kLineGrey);
    } else {  // greeting card
        const std::vector<Pt> frame = { Apply(m, -hw + 5, -hh + 5), Apply(m, hw - 5, -hh + 5), Apply(m, hw - 5, hh - 5),
                                        Apply(m, -hw + 5, hh - 5) };
        std::vector<Segment> edge;
        for (size_t i = 0; i < 4; ++i) edge.push_back({ frame[i], frame[(i + 1) % 4] });
        Paint(c, StrokeMask(edge, 2.0), kGold);
        const Pt heart = Apply(m, 0, -14);
        Paint(c, CircleMask(heart.x, heart.y, 15), Hex(0xC8343F));
        Paint(c, CircleMask(heart.x, heart.y, 10), kWhite);
        Paint(c, CircleMask(heart.x, heart.y, 5), Hex(0x177A6A));
        line(-24, 14, 24, 4, Hex(0x444444));
        line(-18, 24, 18, 2, kLineGrey);
        line(-18, 30, 18, 2, kLineGrey);
    }
}

Canvas BillboardTemplates(const Font& font, const BoardTexts& texts) {
    const Billboard b{ Hex(0xD9641A), texts };
    Canvas c = BillboardFrame(font, b);
    // Three documents fanned out from a point below the picture.
    const double px = 115, py = 300;
    const double spread[3] = { -16.0, 15.0, 0.0 };
    const int kinds[3] = { 2, 1, 0 };
    for (int i = 0; i < 3; ++i) {
        const double a = spread[i];
        const double dist = 148.0;
        const Affine m = Placement(px + dist * SinDeg(a), py - dist * CosDeg(a), a);
        Document(c, m, kinds[i]);
    }
    return c;
}

// ---------------------------------------------------------------------------
// Icons

// The emblem, with pixel edges.
void IconEmblem(Icon& ic, double ox, double oy) {
    IconPaintOutlined(ic, RectMask(ox + 10, oy + 1, ox + 28, oy + 24), RectMask(ox + 11, oy + 2, ox + 27, oy + 23), vgaTeal, vgaBlack);
    const std::vector<Pt> page = { { ox + 3, oy + 6 }, { ox + 16, oy + 6 }, { ox + 22, oy + 12 }, { ox + 22, oy + 31 }, { ox + 3, oy + 31 } };
    const std::vector<Pt> inner = { { ox + 4, oy + 7 }, { ox + 15.6, oy + 7 }, { ox + 21, oy + 12.4 }, { ox + 21, oy + 30 }, { ox + 4, oy + 30 } };
    IconPaintOutlined(ic, PolygonMask(page), PolygonMask(inner), vgaWhite, vgaBlack);
    IconPaint(ic, PolygonMask({ { ox + 16, oy + 6 }, { ox + 16, oy + 12 }, { ox + 22, oy + 12 } }), vgaSilver);
    IconPaint(ic, LineMask(ox + 16.5, oy + 7, ox + 16.5, oy + 12.5, 1.0), vgaBlack);
    IconPaint(ic, LineMask(ox + 16.5, oy + 12.5, ox + 21.5, oy + 12.5, 1.0), vgaBlack);
    IconPaint(ic, RectMask(ox + 6, oy + 9, ox + 14, oy + 12), vgaNavy);
    IconPaint(ic, RectMask(ox + 6, oy + 15, ox + 12, oy + 21), vgaYellow);
    IconPaint(ic, RectMask(ox + 6, oy + 20, ox + 12, oy + 21), vgaOlive);
    for (int i = 0; i < 3; ++i) IconPaint(ic, RectMask(ox + 14, oy + 15 + i * 2.0, ox + 20, oy + 16 + i * 2.0), vgaGrey);
    for (int i = 0; i < 3; ++i) IconPaint(ic, RectMask(ox + 6, oy + 23 + i * 2.0, ox + (i == 2 ? 14 : 20), oy + 24 + i * 2.0), vgaGrey);
}

Icon SetupIcon() {
    Icon ic = EmptyIcon();
    IconEmblem(ic, -1, 0);
    // A green arrow into the computer: installation.
    const std::vector<Pt> arrow = { { 22, 14 }, { 28, 14 }, { 28, 21 }, { 31.5, 21 }, { 25, 29 }, { 18.5, 21 }, { 22, 21 } };
    const std::vector<Pt> inner = { { 23, 15 }, { 27, 15 }, { 27, 22 }, { 29.5, 22 }, { 25, 27.5 }, { 20.5, 22 }, { 23, 22 } };
    IconPaintOutlined(ic, PolygonMask(arrow), PolygonMask(inner), vgaLime, vgaBlack);
    IconPaint(ic, RectMask(23, 15, 24, 22), vgaGreen);
    return ic;
}

Icon ProductIcon() {
    Icon ic = EmptyIcon();
    IconEmblem(ic, 1, 0);
    return ic;
}

Icon QuestionIcon(const Font& font) {
    Icon ic = EmptyIcon();
    // A speech balloon with a blue question mark.
    const Mask body = EllipseMask(16, 13.5, 14.5, 12.5);
    const Mask bodyIn = EllipseMask(16, 13.5, 13.5, 11.5);
    const std::vector<Pt> tail = { { 8, 21 }, { 5, 31 }, { 15, 24 } };
    const std::vector<Pt> tailIn = { { 9, 21.5 }, { 6.6, 28.8 }, { 13.5, 23.6 } };
    IconPaint(ic, body, vgaBlack);
    IconPaint(ic, PolygonMask(tail), vgaBlack);
    IconPaint(ic, bodyIn, vgaWhite);
    IconPaint(ic, PolygonMask(tailIn), vgaWhite);
    IconPaint(ic, TextMask(font, "?", 10.5, 22, { 17.0, 3.6, 0, 0 }), vgaBlue);
    return ic;
}

Icon WarningIcon(const Font& font) {
    Icon ic = EmptyIcon();
    const std::vector<Pt> tri = { { 16, 1 }, { 31.5, 29.5 }, { 0.5, 29.5 } };
    const std::vector<Pt> triIn = { { 16, 3.4 }, { 29.8, 28.5 }, { 2.2, 28.5 } };
    IconPaintOutlined(ic, PolygonMask(tri), PolygonMask(triIn), vgaYellow, vgaBlack);
    IconPaint(ic, TextMask(font, "!", 14.5, 26, { 15.0, 3.4, 0, 0 }), vgaBlack);
    return ic;
}

Icon ErrorIcon() {
    Icon ic = EmptyIcon();
    IconPaintOutlined(ic, CircleMask(16, 16, 15.2), CircleMask(16, 16, 14.2), vgaRed, vgaBlack);
    IconPaint(ic, LineMask(10, 10, 22, 22, 3.6), vgaWhite);
    IconPaint(ic, LineMask(22, 10, 10, 22, 3.6), vgaWhite);
    return ic;
}

Icon DiskIcon() {
    Icon ic = EmptyIcon();
    const std::vector<Pt> body = { { 2, 2 }, { 27, 2 }, { 30, 5 }, { 30, 30 }, { 2, 30 } };
    const std::vector<Pt> bodyIn = { { 3, 3 }, { 26.6, 3 }, { 29, 5.4 }, { 29, 29 }, { 3, 29 } };
    IconPaintOutlined(ic, PolygonMask(body), PolygonMask(bodyIn), vgaNavy, vgaBlack);
    // The metal shutter with its window.
    IconPaint(ic, RectMask(9, 3, 24, 13), vgaSilver);
    IconPaint(ic, RectMask(9, 12, 24, 13), vgaGrey);
    IconPaint(ic, RectMask(19, 5, 22, 11), vgaNavy);
    // The label.
    IconPaint(ic, RectMask(6, 16, 26, 29), vgaWhite);
    IconPaint(ic, RectMask(6, 16, 26, 18), vgaRed);
    for (int i = 0; i < 3; ++i) IconPaint(ic, RectMask(8, 20 + i * 3.0, i == 2 ? 18 : 24, 21 + i * 3.0), vgaGrey);
    IconPaint(ic, RectMask(4, 26, 6, 28), vgaBlack);
    return ic;
}

// ---------------------------------------------------------------------------
// The tables of words, one a language: resources/lang/<code>.txt, in code
// page 1252.  Each line is `KEY = TEXT`, blank, or a comment starting with
// #; blanks around the key and the text do not count.  Every key below is
// given exactly once; `.bits` says whether a picture is stored with 4 or 8
// bits a pixel.  A text that needs a character the font lacks, or that is
// wider than its place in the picture, is refused with its file and line.

constexpr int kBoardCount = 5;

struct LanguageTexts {
    std::string code;
    std::string logo;
    int logoBits = 0;
    BoardTexts boards[kBoardCount];
    int boardBits[kBoardCount] = {};
    TypeGuides guides;
};

struct Field {
    std::string key;
    std::string* text;        // or nullptr for a number of bits
    int* bits;
    const TextStyle* style;
    double room;              // widest the text may be, in pixels
    int line;                 // where it was given, 0 while it was not
};

std::vector<Field> FieldsOf(LanguageTexts& t, const Font& font) {
    const double lineRoom = kBillW - 2 * 16.0;
    std::vector<Field> f;
    f.push_back({ "logo", &t.logo, nullptr, &kLogoTag, LogoTagRoom(font), 0 });
    f.push_back({ "logo.bits", nullptr, &t.logoBits, nullptr, 0.0, 0 });
    for (int i = 0; i < kBoardCount; ++i) {
        const std::string k = "billboard" + std::to_string(i + 1);
        f.push_back({ k + ".heading", &t.boards[i].heading, nullptr, &kHeadline, kBillW - 2 * 15.0, 0 });
        f.push_back({ k + ".line1", &t.boards[i].line1, nullptr, &kCaption, lineRoom, 0 });
        f.push_back({ k + ".line2", &t.boards[i].line2, nullptr, &kCaption, lineRoom, 0 });
        f.push_back({ k + ".bits", nullptr, &t.boardBits[i], nullptr, 0.0, 0 });
    }
    f.push_back({ "billboard2.cap-height", &t.guides.capHeight, nullptr, &kGuideNote, GuideRoom(font, 0), 0 });
    f.push_back({ "billboard2.x-height", &t.guides.xHeight, nullptr, &kGuideNote, GuideRoom(font, 1), 0 });
    f.push_back({ "billboard2.baseline", &t.guides.baseline, nullptr, &kGuideNote, GuideRoom(font, 2), 0 });
    return f;
}

std::string Trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

// A lead byte of UTF-8 for the letters of Western Europe, then a
// continuation byte: a table saved in the wrong encoding.
bool LooksLikeUtf8(const std::string& s) {
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
        if ((a == 0xC2 || a == 0xC3) && b >= 0x80 && b <= 0xBF) return true;
    }
    return false;
}

// Reads one table; prints every fault it finds and returns false if any.
bool ReadTable(const std::string& path, const Font& font, LanguageTexts& t) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) { std::fprintf(stderr, "mkart: cannot read %s\n", path.c_str()); return false; }
    std::string all;
    char buf[4096];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, file)) > 0) all.append(buf, got);
    std::fclose(file);

    std::vector<Field> fields = FieldsOf(t, font);
    bool ok = true;
    auto fault = [&](int line, const std::string& what) {
        std::fprintf(stderr, "mkart: %s:%d: %s\n", path.c_str(), line, what.c_str());
        ok = false;
    };
    int lineNo = 0;
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find('\n', pos);
        if (end == std::string::npos) end = all.size();
        const std::string line = Trimmed(all.substr(pos, end - pos));
        pos = end + 1;
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) { fault(lineNo, "expected KEY = TEXT"); continue; }
        const std::string key = Trimmed(line.substr(0, eq));
        const std::string value = Trimmed(line.substr(eq + 1));
        Field* field = nullptr;
        for (Field& f : fields)
            if (f.key == key) field = &f;
        if (field == nullptr) { fault(lineNo, "unknown key " + key); continue; }
        if (field->line != 0) {
            fault(lineNo, key + " is given twice (first on line " + std::to_string(field->line) + ")");
            continue;
        }
        field->line = lineNo;
        if (field->bits != nullptr) {
            if (value == "4" || value == "8") *field->bits = value[0] - '0';
            else fault(lineNo, key + " must be 4 or 8");
            continue;
        }
        if (value.empty()) { fault(lineNo, key + " is empty"); continue; }
        if (LooksLikeUtf8(value)) {
            fault(lineNo, key + " looks like UTF-8: the tables are in code page 1252");
            continue;
        }
        if (const unsigned char c = MissingGlyph(font, value)) {
            char what[160];
            std::snprintf(what, sizeof what, "%s: the font has no glyph for character 0x%02X", key.c_str(), c);
            fault(lineNo, what);
            continue;
        }
        const double width = TextWidth(font, value, *field->style);
        if (width > field->room) {
            char what[200];
            std::snprintf(what, sizeof what, "%s is %.1f pixels wide where %.1f fit: shorten it", key.c_str(),
                          width, field->room);
            fault(lineNo, what);
            continue;
        }
        *field->text = value;
    }
    for (const Field& f : fields)
        if (f.line == 0) fault(lineNo, f.key + " is missing");
    return ok;
}

// The tables in a directory, sorted by language code (the file's name
// without .txt: two or three small letters).
bool FindTables(const std::string& dir, std::vector<std::string>& codes) {
    std::error_code ec;
    std::filesystem::directory_iterator it(dir, ec);
    if (ec) { std::fprintf(stderr, "mkart: cannot list %s: %s\n", dir.c_str(), ec.message().c_str()); return false; }
    bool ok = true;
    for (const auto& entry : it) {
        const std::filesystem::path& p = entry.path();
        if (p.extension() != ".txt") continue;
        const std::string code = p.stem().string();
        bool good = code.size() == 2 || code.size() == 3;
        for (char ch : code) good = good && ch >= 'a' && ch <= 'z';
        if (!good) {
            std::fprintf(stderr, "mkart: %s: a table is named by its language code, e.g. de.txt\n", p.string().c_str());
            ok = false;
            continue;
        }
        codes.push_back(code);
    }
    std::sort(codes.begin(), codes.end());
    if (ok && codes.empty()) {
        std::fprintf(stderr, "mkart: no language tables (<code>.txt) in %s\n", dir.c_str());
        ok = false;
    }
    return ok;
}

size_t TableSize(int bits) { return bits == 4 ? 16 : 256; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: mkart OUTDIR [TABLEDIR]\n"
                             "draws the pictures and icons into OUTDIR, and the worded pictures of each\n"
                             "language table TABLEDIR/<code>.txt (default OUTDIR/lang) into OUTDIR/lang/<code>/\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const std::string tableDir = argc == 3 ? std::string(argv[2]) : dir + "lang";
    const Font font = BuildFont();

    // Every table is read and checked before anything is written.
    std::vector<std::string> codes;
    if (!FindTables(tableDir, codes)) return 1;
    std::vector<LanguageTexts> languages(codes.size());
    bool ok = true;
    for (size_t i = 0; i < codes.size(); ++i) {
        languages[i].code = codes[i];
        ok = ReadTable(tableDir + "/" + codes[i] + ".txt", font, languages[i]) && ok;
    }
    if (!ok) return 1;
    std::error_code made;
    std::filesystem::create_directories(argv[1], made);

    const Canvas backdrop = DrawBackdropCanvas(font);
    ok = WriteFile(dir + "backdrop.bmp", BitmapIndexed(Reduce(backdrop, 256))) && ok;

    ok = WriteFile(dir + "setup.ico", IconFile(SetupIcon())) && ok;
    ok = WriteFile(dir + "tovarin.ico", IconFile(ProductIcon())) && ok;
    ok = WriteFile(dir + "question.ico", IconFile(QuestionIcon(font))) && ok;
    ok = WriteFile(dir + "warning.ico", IconFile(WarningIcon(font))) && ok;
    ok = WriteFile(dir + "error.ico", IconFile(ErrorIcon())) && ok;
    ok = WriteFile(dir + "disk.ico", IconFile(DiskIcon())) && ok;

    for (const LanguageTexts& t : languages) {
        const std::string out = dir + "lang/" + t.code + "/";
        std::error_code ec;
        std::filesystem::create_directories(out, ec);
        if (ec) {
            std::fprintf(stderr, "mkart: cannot make %s: %s\n", out.c_str(), ec.message().c_str());
            ok = false;
            continue;
        }
        // What the worded pictures add to the program: each file less its
        // 14-byte file header, which the resource compiler drops.
        size_t bytes = 0;
        auto put = [&](const std::string& name, const std::vector<uint8_t>& file) {
            bytes += file.size() - 14;
            ok = WriteFile(out + name, file) && ok;
        };
        int lw = 0, lh = 0;
        const std::vector<uint32_t> logo = DrawLogo(font, backdrop, t.logo, lw, lh);
        put("logo.bmp", BitmapIndexed(ReduceRgb(logo, lw, lh, TableSize(t.logoBits), &kLogoKey)));
        const Canvas boards[kBoardCount] = {
            BillboardLayout(font, t.boards[0]), BillboardType(font, t.boards[1], t.guides),
            BillboardPictures(font, t.boards[2]), BillboardPrinting(font, t.boards[3]),
            BillboardTemplates(font, t.boards[4]) };
        for (int i = 0; i < kBoardCount; ++i)
            put("billboard" + std::to_string(i + 1) + ".bmp", BitmapIndexed(Reduce(boards[i], TableSize(t.boardBits[i]))));
        std::printf("mkart: %s: logo %d bits, billboards %d %d %d %d %d bits: %zu bytes of resources\n", t.code.c_str(),
                    t.logoBits, t.boardBits[0], t.boardBits[1], t.boardBits[2], t.boardBits[3], t.boardBits[4], bytes);
    }
    return ok ? 0 : 1;
}

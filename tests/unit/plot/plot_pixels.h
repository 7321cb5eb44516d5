// Reading the plot drawing back in tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "analyzer/plot/plot_canvas.h"

namespace plot_test {

constexpr ui::Colour kBlack = ui::Rgb(0, 0, 0);
constexpr ui::Colour kWhite = ui::Rgb(255, 255, 255);
constexpr ui::Colour kRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kBlue = ui::Rgb(0, 0, 255);

inline ui::Colour At(const analyzer::PixelView& v, int x, int y)
{
    uint32_t p;
    std::memcpy(&p, v.data + size_t(y) * size_t(v.stride) + 4 * size_t(x), 4);
    return ui::Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Ink of any colour: clearly darker than the white ground.
inline bool Inked(ui::Colour c) { return ui::RedOf(c) + ui::GreenOf(c) + ui::BlueOf(c) < 3 * 200; }

// Strongly of one primary colour (antialiased edges excepted).
inline bool Reddish(ui::Colour c)
{
    return ui::RedOf(c) > 160 && ui::GreenOf(c) < 100 && ui::BlueOf(c) < 100;
}
inline bool Bluish(ui::Colour c)
{
    return ui::BlueOf(c) > 160 && ui::RedOf(c) < 100 && ui::GreenOf(c) < 100;
}

template <class Pred>
int Count(const analyzer::PixelView& v, int x0, int y0, int x1, int y1, Pred pred)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            n += pred(At(v, x, y)) ? 1 : 0;
    return n;
}

// Bounding box of inked pixels in a region; width 0 when there is none.
inline analyzer::PixelRect InkBox(const analyzer::PixelView& v, int x0, int y0, int x1, int y1)
{
    int l = x1 + 1, t = y1 + 1, r = x0 - 1, b = y0 - 1;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (Inked(At(v, x, y))) {
                l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), b = std::max(b, y);
            }
    if (r < l)
        return {};
    return {l, t, r - l + 1, b - t + 1};
}

inline analyzer::PixelRect Bounds(const std::vector<analyzer::PixelRect>& rects)
{
    analyzer::PixelRect all;
    for (const auto& r : rects)
        all = analyzer::Union(all, r);
    return all;
}

// first, first + step, ... up to `count` numbers: where grid lines fall.
inline std::set<int> Steps(int first, int step, int count)
{
    std::set<int> out;
    for (int k = 0; k < count; ++k)
        out.insert(first + step * k);
    return out;
}

inline std::set<int> BlackColumnsOfRow(const analyzer::PixelView& v, int y)
{
    std::set<int> xs;
    for (int x = 0; x < v.width; ++x)
        if (At(v, x, y) == kBlack)
            xs.insert(x);
    return xs;
}

inline std::set<int> BlackRowsOfColumn(const analyzer::PixelView& v, int x)
{
    std::set<int> ys;
    for (int y = 0; y < v.height; ++y)
        if (At(v, x, y) == kBlack)
            ys.insert(y);
    return ys;
}

} // namespace plot_test

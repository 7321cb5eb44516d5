// Image windows on the headless backend: what the program asked each window
// to show, kept for the tests to look at, and a close box they can press.
#include <cstring>
#include <map>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

namespace {

std::map<int, headless::ImageWindowState> windows;

headless::ImageWindowState* Find(int window)
{
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
}

} // namespace

namespace headless {

void ForgetImageWindows() { windows.clear(); }

const ImageWindowState* ImageWindow(int window) { return Find(window); }

std::vector<int> ImageWindowHandles()
{
    std::vector<int> out;
    for (const auto& [handle, w] : windows)
        out.push_back(handle);
    return out;
}

uint32_t ImagePixel(int window, int x_px, int y_px)
{
    const ImageWindowState* w = Find(window);
    if (!w || !w->pixels || x_px < 0 || y_px < 0 || x_px >= w->image_w || y_px >= w->image_h)
        return 0;
    const auto* row =
        reinterpret_cast<const unsigned char*>(w->pixels) + size_t(y_px) * size_t(w->stride_bytes);
    uint32_t pixel;
    std::memcpy(&pixel, row + size_t(x_px) * 4, 4);
    return pixel;
}

bool PressImageWindowCloseBox(int window)
{
    const ImageWindowState* w = Find(window);
    if (!w || !w->close_allowed)
        return false;
    windows.erase(window);
    if (Sink().on_window_closed)
        Sink().on_window_closed(window);
    return true;
}

void MoveImageWindowAsUser(int window, int x_px, int y_px)
{
    if (ImageWindowState* w = Find(window)) {
        w->x = x_px;
        w->y = y_px;
    }
}

} // namespace headless

namespace ui {

int CreateImageWindow(const std::string& title, int client_w_px, int client_h_px, int x_px,
                      int y_px)
{
    headless::ImageWindowState w;
    w.title = title;
    w.client_w = client_w_px;
    w.client_h = client_h_px;
    w.x = x_px;
    w.y = y_px;
    if (x_px < 0 || y_px < 0) {
        // Beside the main window: to its right, top edges level, in pixels
        // of the classic 6 x 13 dialog base units; this screen has no edge.
        int main_x = 0, main_y = 0, main_w = 0, main_h = 0;
        ui::GetWindowPosition(&main_x, &main_y);
        ui::GetClientSize(&main_w, &main_h);
        w.x = (main_x + main_w) * 6 / 4 + headless::kBesideGapPx;
        w.y = main_y * 13 / 8;
    }
    int handle = headless::NewWindowHandle();
    windows[handle] = w;
    return handle;
}

void ShowImageWindow(int window)
{
    if (auto* w = Find(window))
        w->shown = true;
}

void DestroyImageWindow(int window) { windows.erase(window); }

bool ImageWindowExists(int window) { return Find(window) != nullptr; }

void SetImagePixels(int window, const uint32_t* pixels, int width_px, int height_px,
                    int stride_bytes)
{
    if (auto* w = Find(window)) {
        w->pixels = pixels;
        w->image_w = width_px;
        w->image_h = height_px;
        w->stride_bytes = stride_bytes;
    }
}

void RefreshImageRect(int window, int x_px, int y_px, int w_px, int h_px)
{
    if (auto* w = Find(window))
        w->refreshed.push_back({x_px, y_px, w_px, h_px});
}

void SetImageWindowClientSize(int window, int w_px, int h_px)
{
    if (auto* w = Find(window)) {
        w->client_w = w_px;
        w->client_h = h_px;
    }
}

void GetImageWindowClientSize(int window, int* w_px, int* h_px)
{
    const auto* w = Find(window);
    if (w_px)
        *w_px = w ? w->client_w : 0;
    if (h_px)
        *h_px = w ? w->client_h : 0;
}

void MoveImageWindow(int window, int x_px, int y_px)
{
    headless::MoveImageWindowAsUser(window, x_px, y_px);
}

void GetImageWindowPosition(int window, int* x_px, int* y_px)
{
    const auto* w = Find(window);
    if (x_px)
        *x_px = w ? w->x : 0;
    if (y_px)
        *y_px = w ? w->y : 0;
}

void AllowImageWindowClose(int window, bool allowed)
{
    if (auto* w = Find(window))
        w->close_allowed = allowed;
}

} // namespace ui

// Drives a window of another program on Windows the way a user's hand
// would, for the desktop test under Wine (scripts/test-windows.sh):
//
//   window_probe click TITLE TEXT     presses the button TEXT of the window
//                                     whose title starts with TITLE
//   window_probe text TITLE PART [S]  waits up to S seconds (10) for a
//                                     control of that window whose text
//                                     holds PART, and prints its text
//
// Exit code 0 when done, 1 when the window or control is not there.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::wstring Wide(const char* s)
{
    std::wstring w;
    for (; *s; ++s)
        w += wchar_t(static_cast<unsigned char>(*s));
    return w;
}

std::wstring TextOf(HWND w)
{
    const LRESULT n = SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(n) + 1, L'\0');
    SendMessageW(w, WM_GETTEXT, WPARAM(n + 1), LPARAM(text.data()));
    text.resize(size_t(n));
    return text;
}

struct Search {
    std::wstring text;
    bool whole = true;
    HWND found = nullptr;
};

BOOL CALLBACK Match(HWND w, LPARAM p)
{
    Search* s = reinterpret_cast<Search*>(p);
    const std::wstring text = TextOf(w);
    if (s->whole ? text == s->text : text.find(s->text) != std::wstring::npos) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchTop(HWND w, LPARAM p)
{
    Search* s = reinterpret_cast<Search*>(p);
    if (IsWindowVisible(w) && TextOf(w).rfind(s->text, 0) == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND Top(const char* title)
{
    Search s;
    s.text = Wide(title);
    EnumWindows(MatchTop, LPARAM(&s));
    return s.found;
}

HWND Child(HWND top, const char* text, bool whole)
{
    Search s;
    s.text = Wide(text);
    s.whole = whole;
    EnumChildWindows(top, Match, LPARAM(&s));
    return s.found;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: window_probe click|text TITLE TEXT [SECONDS]\n");
        return 2;
    }
    const std::string what = argv[1];
    HWND top = Top(argv[2]);
    if (!top) {
        std::fprintf(stderr, "window_probe: no window titled %s...\n", argv[2]);
        return 1;
    }
    if (what == "click") {
        HWND button = Child(top, argv[3], true);
        if (!button) {
            std::fprintf(stderr, "window_probe: no button %s\n", argv[3]);
            return 1;
        }
        // Posted: the button's action may run a while (a request on the line).
        PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    const double seconds = argc > 4 ? std::atof(argv[4]) : 10;
    for (double waited = 0; waited < seconds; waited += 0.1) {
        if (HWND w = Child(top, argv[3], false)) {
            for (wchar_t c : TextOf(w))
                std::putchar(c < 128 ? char(c) : '?');
            std::putchar('\n');
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "window_probe: no control holds %s\n", argv[3]);
    return 1;
}

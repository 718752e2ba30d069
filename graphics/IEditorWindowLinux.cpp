// The window layer on Linux: an X11 child window of the host's window, on a display
// connection of the editor's own, driven from the host's idle calls (no thread, no
// timer of ours). Events become the editor's events, the frame tick repaints the dirty
// region, and the draw bitmap goes to the window with XPutImage. Text is drawn with
// FreeType; the in-place value entry is in InPlaceEditLinux.cpp.
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "graphics/IEditorWindowProcsLinux.h"
#include "graphics/TextRasterizer.h"
#include "graphics/X11ErrorTrap.h"
#include "images/PngLoader.h"
#include "raster/RasterBitmap.h"

#include <X11/Xutil.h>

namespace {

const long EVENT_MASK = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                        KeyReleaseMask | StructureNotifyMask | EnterWindowMask | LeaveWindowMask;

// The text up to and including the last '/', or "" when there is none.
void DirectoryOf(const char* path, char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    if (!path) return;
    const char* slash = std::strrchr(path, '/');
    if (!slash) return;
    size_t n = size_t(slash - path) + 1;
    if (n >= size_t(outSize)) return;
    std::memcpy(out, path, n);
    out[n] = 0;
}

// The server's image format for the window's visual; false when it is none we can write.
bool FormatFor(Display* display, const XWindowAttributes& attributes, X11PixelFormat* format) {
    Visual* visual = attributes.visual;
    if (!visual || (visual->c_class != TrueColor && visual->c_class != DirectColor)) return false;
    format->mDepth = attributes.depth;
    format->mRedMask = uint32_t(visual->red_mask);
    format->mGreenMask = uint32_t(visual->green_mask);
    format->mBlueMask = uint32_t(visual->blue_mask);
    format->mMsbFirst = ImageByteOrder(display) == MSBFirst;
    format->mBitsPerPixel = 0;
    int count = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
        for (int i = 0; i < count; ++i)
            if (formats[i].depth == attributes.depth) format->mBitsPerPixel = formats[i].bits_per_pixel;
        XFree(formats);
    }
    return format->IsSupported();
}

IBounds Clip(const IBounds& r, int w, int h) {
    IBounds c(r.L < 0 ? 0 : r.L, r.T < 0 ? 0 : r.T, r.R > w ? w : r.R, r.B > h ? h : r.B);
    return c.R > c.L && c.B > c.T ? c : IBounds();
}

}  // namespace

// ---- the steps the window and its in-place entry share ----

int64_t IEditorWindowProcs::NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void IEditorWindowProcs::PutPixels(INativeWindow* w, Window target, const RasterBitmap* bitmap, const IBounds& area,
                                   int x, int y) {
    if (!w->mAlive || !bitmap || !bitmap->GetPixelData()) return;
    IBounds r = Clip(area, bitmap->GetWidth(), bitmap->GetHeight());
    if (r.Empty()) return;
    const X11PixelFormat& f = w->mFormat;
    XImage image;
    std::memset(&image, 0, sizeof image);
    image.format = ZPixmap;
    image.byte_order = f.mMsbFirst ? MSBFirst : LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = MSBFirst;
    image.bitmap_pad = 32;
    image.depth = f.mDepth;
    image.bits_per_pixel = f.mBitsPerPixel;
    image.red_mask = f.mRedMask;
    image.green_mask = f.mGreenMask;
    image.blue_mask = f.mBlueMask;
    int srcX = r.L, srcY = r.T;
    if (f.TakesRasterPixels() && !bitmap->IsBottomUp()) {
        // The bitmap's rows are what the server wants: no copy.
        image.width = bitmap->GetWidth();
        image.height = bitmap->GetHeight();
        image.bytes_per_line = bitmap->GetRowSpan() * 4;
        image.data = reinterpret_cast<char*>(bitmap->GetPixelData());
    } else {
        int line = (r.W() * f.BytesPerPixel() + 3) & ~3;
        if (!w->mConverted.Resize(line * r.H())) return;
        for (int row = 0; row < r.H(); ++row) {
            int sy = r.T + row;
            if (bitmap->IsBottomUp()) sy = bitmap->GetHeight() - 1 - sy;
            const RasterPixel* in = bitmap->GetPixelData() + ptrdiff_t(sy) * bitmap->GetRowSpan() + r.L;
            X11ConvertRow(f, in, r.W(), w->mConverted.Data() + ptrdiff_t(row) * line);
        }
        image.width = r.W();
        image.height = r.H();
        image.bytes_per_line = line;
        image.data = reinterpret_cast<char*>(w->mConverted.Data());
        srcX = srcY = 0;
    }
    if (!XInitImage(&image)) return;
    XPutImage(w->mDisplay, target, w->mGC, &image, srcX, srcY, x + r.L - area.L, y + r.T - area.T, unsigned(r.W()),
              unsigned(r.H()));
}

void IEditorWindowProcs::Repaint(IEditorWindow* g, const IBounds& area) {
    // Dirty controls are drawn too: drawing cleans every control, drawn or not.
    IBounds r = area;
    g->IsDirty(&r);
    if (!r.Empty()) g->Draw(&r);
}

void IEditorWindowProcs::HandleEvent(IEditorWindow* g, XEvent& event) {
    INativeWindow* w = g->mpNative;
    Window window = w->mWindow;
    if (event.xany.window != window) {
        if (event.xany.window == w->mPopupWindow && event.type == Expose && event.xexpose.count == 0) DrawPopup(g);
        return;
    }
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        w->mExposed.Union(IBounds(e.x, e.y, e.x + e.width, e.y + e.height));
        if (e.count == 0) {
            IBounds area = w->mExposed;
            w->mExposed = IBounds();
            Repaint(g, area);
        }
        break;
    }
    case MapNotify:
        // Hosts hide and show the same window again; everything is shown anew.
        Repaint(g, IBounds(0, 0, g->mWidth, g->mHeight));
        break;
    case UnmapNotify: g->OnMouseCaptureLost(); break;
    case DestroyNotify:
        if (event.xdestroywindow.window != window) break;
        // Gone with the host's window: nothing may touch it any more.
        w->mAlive = false;
        g->OnMouseCaptureLost();
        CloseEditor(g, true);
        break;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify: {
        // Only the latest position of a run of moves matters; a move after a release
        // or a press is not part of the run.
        while (event.type == MotionNotify && XEventsQueued(w->mDisplay, QueuedAlready) > 0) {
            XEvent next;
            XPeekEvent(w->mDisplay, &next);
            if (next.type != MotionNotify || next.xmotion.window != window) break;
            XNextEvent(w->mDisplay, &event);
        }
        int x = event.type == MotionNotify ? event.xmotion.x : event.xbutton.x;
        int y = event.type == MotionNotify ? event.xmotion.y : event.xbutton.y;
        w->mPointerX = x;
        w->mPointerY = y;
        if (PopupPointer(g, event, x, y)) break;
        if (event.type == MotionNotify) {
            IPointerState state = EditorPointerForX11(event.xmotion.state, 0, false);
            if (state.L || state.R) {
                if (g->MouseCapture() >= 0) g->OnMouseDrag(x, y, &state);
                break;
            }
            // No button is down, yet a gesture is open: its release went elsewhere.
            g->OnMouseCaptureLost();
            g->OnMouseOver(x, y, &state);
            break;
        }
        unsigned int button = event.xbutton.button;
        bool press = event.type == ButtonPress;
        IPointerState state = EditorPointerForX11(event.xbutton.state, button, press);
        if (int notches = EditorWheelNotchesForButton(button)) {
            if (press) g->OnMouseWheel(x, y, &state, notches);
            break;
        }
        if (button != Button1 && button != Button3) break;
        if (!press) {
            g->OnMouseUp(x, y, &state);
        } else if (button == Button1 && w->mClicks.Press(event.xbutton.time, x, y)) {
            g->OnMouseDblClick(x, y, &state);  // the press's implicit grab holds the pointer already
        } else {
            if (button != Button1) w->mClicks.Reset();
            g->OnMouseDown(x, y, &state);
        }
        break;
    }
    case LeaveNotify: {
        const XCrossingEvent& e = event.xcrossing;
        if (g->MouseCapture() >= 0) {
            // A drag goes on outside the window, unless the pointer went with a grab or
            // with the window itself (the host hid it): then its release will not come here.
            XWindowAttributes a;
            bool lost = e.mode == NotifyGrab || e.mode == NotifyUngrab ||
                        !XGetWindowAttributes(w->mDisplay, window, &a) || a.map_state != IsViewable;
            if (lost) g->OnMouseCaptureLost();
        } else if (e.detail != NotifyInferior) {
            w->mClicks.Reset();
            g->OnMouseOut();
        }
        break;
    }
    case KeyPress: {
        char text[8];
        KeySym keysym = 0;
        XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
        char character = 0;
        IEditKey editKey = EditKeyForKeysym(keysym, &character);
        if (g->mEditWindow) {
            if (editKey != EditKeyNone) PopupKey(g, editKey, character);
            break;
        }
        int key = EditorKeyForKeysym(keysym);
        if (key >= 0) g->OnKeyDown(event.xkey.x, event.xkey.y, key);
        break;
    }
    default: break;
    }
}

// ---- IEditorWindow ----

IEditorWindow::IEditorWindow(IEffectBase* plug, int w, int h, int frameRate) : IEditorRaster(plug, w, h, frameRate) {}

IEditorWindow::~IEditorWindow() {
    // The plug-in is being taken down around its editor: a gesture still open is not
    // reported to it any more.
    mMouseCapture = -1;
    CloseWindow();
    delete[] mCustomColors;
    delete mpText;
    delete static_cast<TextRasterizer*>(mEditFont);
}

bool IEditorWindow::PresentToScreen(IBounds* r) {
    if (!mpNative || !r || !mpDrawBitmap) return true;
    X11ErrorTrap trap(mpNative->mDisplay);
    IEditorWindowProcs::PutPixels(mpNative, mpNative->mWindow, mpDrawBitmap, *r, r->L, r->T);
    return true;
}

bool IEditorWindow::DrawText(ITextStyle* style, const char* text, IBounds* r) {
    if (!text || !*text || !style || !r) return true;
    if (!mFontSelected) {
        mpText = new TextRasterizer(style->mFont, style->mSize, style->mStyle);
        mFontSelected = true;
        mLastTextColor = style->mColor;
    } else if (style->mColor != mLastTextColor) {
        mLastTextColor = style->mColor;
    }
    // Text stays inside the region being drawn, so anti-aliased edges are never blended twice.
    IBounds clip = mDrawRect.Empty() ? IBounds(0, 0, mWidth, mHeight) : mDrawRect;
    mpText->Draw(mpDrawBitmap, text, *r, style->mAlign, mLastTextColor.ToPixel(), clip);
    return mpText->IsValid();
}

const char* IEditorWindow::TextFontFamily() const { return mpText ? mpText->Family() : ""; }

void IEditorWindow::Resize(int w, int h) {
    IEditorRaster::Resize(w, h);
    if (mpDrawBitmap) mpDrawBitmap->ResizeTo(w, h);
    if (mpNative && mpNative->mAlive && w > 0 && h > 0) {
        X11ErrorTrap trap(mpNative->mDisplay);
        XResizeWindow(mpNative->mDisplay, mpNative->mWindow, unsigned(w), unsigned(h));
        XFlush(mpNative->mDisplay);
    }
}

void IEditorWindow::GetHostDirectory(char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return;
    path[n] = 0;
    DirectoryOf(path, out, outSize);
}

void IEditorWindow::GetPluginDirectory(char* out, int outSize) {
    if (!out || outSize <= 0) return;
    out[0] = 0;
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&DirectoryOf), &info) && info.dli_fname)
        DirectoryOf(info.dli_fname, out, outSize);
}

void IEditorWindow::AskForFile(char* out, int outSize, int, const char*) {
    if (out && outSize > 0) out[0] = 0;
}

bool IEditorWindow::AskForColor(IArgb*, const char*) {
    if (!mCustomColors && mWindow) mCustomColors = new uint32_t[16]();
    return false;
}

bool IEditorWindow::OpenLink(const char*, const char*, const char*, const char*) { return false; }

void* IEditorWindow::OpenWindow(void* parent) {
    if (mpNative) CloseWindow();
    Window parentWindow = static_cast<Window>(reinterpret_cast<uintptr_t>(parent));
    if (!parentWindow) return nullptr;
    // A connection of our own: the host's may be used by other threads, and ours is
    // read only by this code, so its errors are always caught here.
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    INativeWindow* w = nullptr;
    {
        X11ErrorTrap trap(display);
        XWindowAttributes attributes;
        X11PixelFormat format;
        if (XGetWindowAttributes(display, parentWindow, &attributes) && !trap.Errors() &&
            attributes.c_class == InputOutput && FormatFor(display, attributes, &format)) {
            XSetWindowAttributes set;
            std::memset(&set, 0, sizeof set);
            set.event_mask = EVENT_MASK;
            set.background_pixmap = None;  // the editor paints every pixel; no flash of background
            Window window =
                XCreateWindow(display, parentWindow, 0, 0, unsigned(mWidth), unsigned(mHeight), 0, CopyFromParent,
                              InputOutput, CopyFromParent, CWEventMask | CWBackPixmap, &set);
            GC gc = window ? XCreateGC(display, window, 0, nullptr) : nullptr;
            if (window && gc) {
                XMapWindow(display, window);
                XSync(display, False);
            }
            if (window && gc && !trap.Errors()) {
                w = new INativeWindow;
                w->mDisplay = display;
                w->mWindow = window;
                w->mGC = gc;
                w->mFormat = format;
            }
        }
        if (!w) XSync(display, False);  // errors of a failed attempt land in this trap
    }
    if (!w) {
        // Closing the connection takes whatever was made with it.
        X11ErrorTrap trap(display);
        XCloseDisplay(display);
        return nullptr;
    }
    mpNative = w;
    mWindow = reinterpret_cast<void*>(static_cast<uintptr_t>(w->mWindow));
    w->mTickMs = int(1000.0 / (mFrameRate > 0 ? mFrameRate : DEFAULT_FRAME_RATE));
    w->mNextTickMs = IEditorWindowProcs::NowMs();
    SetAllControlsDirty();
    return mWindow;
}

void IEditorWindow::CloseWindow() {
    INativeWindow* w = mpNative;
    if (w) {
        X11ErrorTrap trap(w->mDisplay);
        // A gesture still open when the window goes would leave the host's touch open.
        OnMouseCaptureLost();
        IEditorWindowProcs::CloseEditor(this);
        if (w->mAlive) XDestroyWindow(w->mDisplay, w->mWindow);
        XFreeGC(w->mDisplay, w->mGC);
        XCloseDisplay(w->mDisplay);
        mpNative = nullptr;
        delete w;
    }
    mWindow = nullptr;
}

void IEditorWindow::Idle() {
    INativeWindow* w = mpNative;
    if (!w) return;
    X11ErrorTrap trap(w->mDisplay);
    // An event reaches the host (begin, automate, end), and a host may close the editor
    // from inside that call: the window and its connection are gone when it returns.
    while (mpNative == w && XPending(w->mDisplay)) {
        XEvent event;
        XNextEvent(w->mDisplay, &event);
        IEditorWindowProcs::HandleEvent(this, event);
    }
    if (mpNative != w || !w->mAlive) return;
    IEditorWindowProcs::StepEditor(this);
    int64_t now = IEditorWindowProcs::NowMs();
    if (now >= w->mNextTickMs) {
        // Hosts call at their own pace; the tick keeps to the frame rate's period on average.
        w->mNextTickMs += w->mTickMs;
        if (w->mNextTickMs <= now) w->mNextTickMs = now + w->mTickMs;
        IBounds dirty;
        if (IsDirty(&dirty)) {
            Draw(&dirty);
            IEditorWindowProcs::RefreshPopup(this);
        }
    }
    XFlush(w->mDisplay);
}

bool IEditorWindow::HostKey(IEditKey key, char character, bool down) {
    if (!mpNative || !mEditWindow) return false;
    if (down) {
        X11ErrorTrap trap(mpNative->mDisplay);
        IEditorWindowProcs::PopupKey(this, key, character);
        XFlush(mpNative->mDisplay);
    }
    return true;
}

RasterBitmap* IEditorWindow::LoadImageResource(int id, const char* name) {
    return LoadPngResourceByName(mInstance, id, name, nullptr);
}

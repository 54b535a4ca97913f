#include "platform/sim/SimWindow.h"

#include <map>
#include <memory>

#include "platform/Boundary.h"
#include "platform/MessageLoop.h"
#include "platform/WinConst.h"
#include "platform/sim/Scheduler.h"
#include "platform/sim/Sim.h"

namespace sim {

namespace {

class SimWindow;

struct Desktop {
    std::map<plat::WindowHandle, WindowRecord> records;
    std::map<plat::WindowHandle, SimWindow*> ours;
    std::vector<plat::WindowHandle> order;
    plat::WindowHandle nextHandle = 0x10010;
    plat::WindowHandle application = 0;
    plat::WindowHandle foreground = 0;
    std::function<void()> onMinimize;
};

Desktop& D() {
    static Desktop desktop;
    return desktop;
}

WindowRecord& NewRecord(const std::string& caption, bool foreign) {
    Desktop& d = D();
    const plat::WindowHandle h = d.nextHandle;
    d.nextHandle += 0x10;
    d.order.push_back(h);
    WindowRecord& r = d.records[h];
    r.handle = h;
    r.caption = caption;
    r.foreign = foreign;
    return r;
}

WindowRecord* Record(plat::WindowHandle h) {
    auto it = D().records.find(h);
    return it == D().records.end() ? nullptr : &it->second;
}

plat::WindowHandle ApplicationWindow() {
    Desktop& d = D();
    if (d.application == 0) {
        d.application = NewRecord("Screen Saver", false).handle;
    }
    return d.application;
}

class SimWindow final : public plat::Window {
public:
    SimWindow(const Options& o, plat::WindowEvents events) : events_(std::move(events)) {
        WindowRecord& r = NewRecord(o.caption, false);
        handle_ = r.handle;
        r.bounds = o.bounds;
        r.color = o.color;
        r.border = o.border;
        r.stayOnTop = o.stayOnTop;
        r.owner = o.owner;
        D().ours[handle_] = this;
    }

    ~SimWindow() override {
        D().ours.erase(handle_);
        D().records.erase(handle_);
        std::erase(D().order, handle_);
    }

    plat::WindowHandle Handle() const override { return handle_; }
    void SetCaption(const std::string& caption) override { R().caption = caption; }
    std::string Caption() const override { return R().caption; }
    void SetColor(gfx::TColor color) override { R().color = color; }
    gfx::TColor Color() const override { return R().color; }
    void SetBounds(const gfx::IntRect& bounds) override { R().bounds = bounds; }
    gfx::IntRect Bounds() const override { return R().bounds; }

    void SetClientSize(gfx::IntSize size) override {
        const gfx::IntSize frame = Frame();
        R().bounds.right = R().bounds.left + size.width + frame.width;
        R().bounds.bottom = R().bounds.top + size.height + frame.height;
    }

    gfx::IntSize ClientSize() const override {
        const gfx::IntSize frame = Frame();
        return {R().bounds.Width() - frame.width, R().bounds.Height() - frame.height};
    }

    void CenterOnScreen() override {
        const gfx::IntRect screen = M().monitors.front();
        gfx::IntRect& b = R().bounds;
        const int w = b.Width();
        const int h = b.Height();
        b = gfx::IntRect::FromSize(screen.left + (screen.Width() - w) / 2, screen.top + (screen.Height() - h) / 2, w, h);
    }

    void SetWindowState(plat::WindowState state) override {
        R().state = state;
        if (state == plat::WindowState::Maximized && R().border == plat::BorderStyle::None) {
            R().bounds = M().monitors.front();
        }
    }
    plat::WindowState GetWindowState() const override { return R().state; }

    void SetBorderStyle(plat::BorderStyle border) override {
        R().border = border;
        if (R().state == plat::WindowState::Maximized && border == plat::BorderStyle::None) {
            R().bounds = M().monitors.front();
        }
    }
    plat::BorderStyle GetBorderStyle() const override { return R().border; }
    void SetStayOnTop(bool onTop) override { R().stayOnTop = onTop; }
    bool StayOnTop() const override { return R().stayOnTop; }
    void SetParentWindow(plat::WindowHandle parent) override { R().parent = parent; }

    void Show() override {
        if (!R().visible) {
            R().visible = true;
            D().foreground = handle_;
            if (events_.onShow) {
                events_.onShow();
            }
        }
    }

    void Hide() override {
        if (R().visible) {
            R().visible = false;
            if (events_.onHide) {
                events_.onHide();
            }
        }
    }

    bool Visible() const override { return R().visible; }

    void Close() override { Scheduler::Get().Post({handle_, plat::WM_CLOSE, 0, 0}); }

    void ChangeDisplay() {
        if (events_.onDisplayChange) {
            events_.onDisplayChange();
        }
    }

    void ChangeDpi(int dpi) {
        R().dpi = dpi;
        if (events_.onDpiChanged) {
            events_.onDpiChanged(dpi);
        }
    }

    std::optional<std::intptr_t> Deliver(const plat::Message& msg) {
        if (events_.filter) {
            if (const auto answer = events_.filter(msg)) {
                return answer;
            }
        }
        if (msg.message == plat::WM_CLOSE && events_.onCloseRequest) {
            events_.onCloseRequest();
        }
        return std::nullopt;
    }

private:
    WindowRecord& R() const { return D().records.at(handle_); }

    // The non-client frame: none for a borderless or child window, a fixed one otherwise.
    gfx::IntSize Frame() const {
        if (R().border == plat::BorderStyle::None || R().parent != 0) {
            return {0, 0};
        }
        return {6, 25};
    }

    plat::WindowHandle handle_ = 0;
    plat::WindowEvents events_;
};

}  // namespace

void DispatchToWindow(plat::Message& msg) {
    const auto it = D().ours.find(msg.window);
    if (it != D().ours.end()) {
        SimWindow* window = it->second;
        plat::AtBoundary("window procedure", [&] { window->Deliver(msg); });
    } else if (msg.message == plat::WM_SYSCOMMAND && msg.wParam == plat::SC_MINIMIZE &&
               msg.window == D().application && D().onMinimize) {
        auto onMinimize = D().onMinimize;
        plat::AtBoundary("application window procedure", onMinimize);
    }
}

std::vector<WindowRecord> Windows() {
    std::vector<WindowRecord> all;
    for (const auto h : D().order) {
        all.push_back(D().records.at(h));
    }
    return all;
}

const WindowRecord* FindWindow(plat::WindowHandle handle) { return Record(handle); }

plat::WindowHandle AddForeignWindow(const std::string& caption, const gfx::IntRect& bounds, std::uint32_t style,
                                    std::uint32_t exStyle) {
    WindowRecord& r = NewRecord(caption, true);
    r.bounds = bounds;
    r.style = style;
    r.exStyle = exStyle;
    r.visible = true;
    return r.handle;
}

plat::WindowHandle ForegroundHandle() { return D().foreground; }

WindowRecord& AddChildWindow(plat::WindowHandle parent, const gfx::IntRect& bounds) {
    WindowRecord& r = NewRecord("", false);
    r.parent = parent;
    r.bounds = bounds;
    r.border = plat::BorderStyle::None;
    r.style = plat::WS_CHILD;
    return r;
}

void RemoveWindow(plat::WindowHandle handle) {
    D().records.erase(handle);
    std::erase(D().order, handle);
}

WindowRecord* MutableWindow(plat::WindowHandle handle) { return Record(handle); }

std::optional<std::intptr_t> SendToWindow(const plat::Message& msg) {
    const auto it = D().ours.find(msg.window);
    if (it == D().ours.end()) {
        return std::nullopt;
    }
    SimWindow* window = it->second;
    return plat::AtBoundary("window procedure", std::optional<std::intptr_t>(0), [&] { return window->Deliver(msg); });
}

void MoveToDpi(plat::WindowHandle window, int dpi) {
    const auto it = D().ours.find(window);
    if (it != D().ours.end()) {
        it->second->ChangeDpi(dpi);
    }
}

void ChangeMonitors(std::vector<gfx::IntRect> monitors) {
    M().monitors = std::move(monitors);
    // The notice goes to every top-level window; one may close others while it is handled.
    std::vector<plat::WindowHandle> topLevel;
    for (const auto& [handle, window] : D().ours) {
        if (Record(handle)->parent == 0) {
            topLevel.push_back(handle);
        }
    }
    for (const plat::WindowHandle handle : topLevel) {
        const auto it = D().ours.find(handle);
        if (it != D().ours.end()) {
            SimWindow* window = it->second;
            plat::AtBoundary("window procedure", [&] { window->ChangeDisplay(); });
        }
    }
}

void ResetWindows() { D() = Desktop{}; }

}  // namespace sim

namespace plat {

std::unique_ptr<Window> Window::Create(const Options& options, WindowEvents events) {
    return std::make_unique<sim::SimWindow>(options, std::move(events));
}

void SetApplicationTitle(const std::string& title) { sim::Record(sim::ApplicationWindow())->caption = title; }

std::string ApplicationTitle() { return sim::Record(sim::ApplicationWindow())->caption; }

WindowHandle ApplicationHandle() { return sim::ApplicationWindow(); }

void SetApplicationMinimizeHandler(std::function<void()> handler) { sim::D().onMinimize = std::move(handler); }

WindowHandle FindTopLevelWindow(const std::string& caption) {
    for (const auto h : sim::D().order) {
        const sim::WindowRecord& r = sim::D().records.at(h);
        if (r.parent == 0 && r.caption == caption) {
            return h;
        }
    }
    return 0;
}

void ShowWindowHandle(WindowHandle window, int showCommand) {
    if (auto* r = sim::Record(window)) {
        r->visible = showCommand != SW_HIDE;
        if (showCommand == SW_SHOWMINIMIZED) {
            r->state = WindowState::Minimized;
        } else if (showCommand == SW_SHOWMAXIMIZED) {
            r->state = WindowState::Maximized;
        }
    }
}

void EnableWindowHandle(WindowHandle window, bool enabled) {
    if (auto* r = sim::Record(window)) {
        r->enabled = enabled;
    }
}

bool IsWindowEnabledHandle(WindowHandle window) {
    const auto* r = sim::Record(window);
    return r != nullptr && r->enabled;
}

void SetForegroundWindowHandle(WindowHandle window) {
    if (sim::Record(window) != nullptr) {
        sim::D().foreground = window;
    }
}

WindowHandle ForegroundWindow() { return sim::D().foreground; }

bool IsWindowHandle(WindowHandle window) { return sim::Record(window) != nullptr; }

std::uint32_t WindowStyle(WindowHandle window) {
    const auto* r = sim::Record(window);
    return r != nullptr ? r->style : 0;
}

void SetWindowStyle(WindowHandle window, std::uint32_t style) {
    if (auto* r = sim::Record(window)) {
        r->style = style;
    }
}

std::uint32_t WindowExStyle(WindowHandle window) {
    const auto* r = sim::Record(window);
    return r != nullptr ? r->exStyle : 0;
}

void SetWindowExStyle(WindowHandle window, std::uint32_t exStyle) {
    if (auto* r = sim::Record(window)) {
        r->exStyle = exStyle;
    }
}

std::vector<WindowHandle> ChildWindows(WindowHandle parent) {
    std::vector<WindowHandle> children;
    for (const auto h : sim::D().order) {
        if (sim::D().records.at(h).parent == parent) {
            children.push_back(h);
        }
    }
    return children;
}

gfx::IntRect WindowRect(WindowHandle window) {
    const auto* r = sim::Record(window);
    return r != nullptr ? r->bounds : gfx::IntRect{};
}

bool IsWindowVisibleHandle(WindowHandle window) {
    const auto* r = sim::Record(window);
    return r != nullptr && r->visible;
}

int WindowDpi(WindowHandle window) {
    const auto* r = sim::Record(window);
    return r != nullptr && r->dpi != 0 ? r->dpi : sim::M().dpi;
}

bool KeyIsDown(std::uint32_t key) { return sim::M().keysDown.count(key) != 0; }

gfx::IntPoint CursorPos() { return sim::M().cursor; }

int ShowCursor(bool show) {
    sim::M().showCursorCount += show ? 1 : -1;
    return sim::M().showCursorCount;
}

std::vector<gfx::IntRect> Monitors() { return sim::M().monitors; }

gfx::IntSize ScreenSize() { return sim::M().monitors.front().Size(); }

gfx::TBitmap32 CaptureDesktop() { return CaptureDesktop(sim::M().monitors.front()); }

gfx::TBitmap32 CaptureDesktop(const gfx::IntRect& area) {
    return gfx::TBitmap32(area.Width(), area.Height(), sim::M().desktopColor);
}

bool RegisterHotKey(WindowHandle window, int id, std::uint32_t, std::uint32_t key) {
    if (auto* r = sim::Record(window)) {
        r->hotKeys.emplace_back(id, key);
        return true;
    }
    return false;
}

void UnregisterHotKey(WindowHandle window, int id) {
    if (auto* r = sim::Record(window)) {
        std::erase_if(r->hotKeys, [id](const auto& hk) { return hk.first == id; });
    }
}

}  // namespace plat

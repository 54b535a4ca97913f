// The message loop, timers, workers and the hand-over of steps to the main thread. Timers and
// hand-overs go through one hidden window of the main thread, so that they also run inside modal
// loops (message boxes, dialogs).

#include <windows.h>

#include <exception>
#include <map>
#include <thread>

#include "platform/Boundary.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"
#include "platform/Worker.h"
#include "platform/win32/Win32DialogKeys.h"
#include "platform/win32/Win32Util.h"

namespace plat {

namespace {

constexpr UINT kRunStep = WM_APP + 1;  // lParam: a pending Synchronize request
constexpr UINT kRunCall = WM_APP + 2;  // lParam: a posted std::function

struct SyncRequest {
    const std::function<void()>* step;
    HANDLE done;
    std::exception_ptr error;
};

MessageHook g_hook;
bool g_terminated = false;
DWORD g_mainThread = ::GetCurrentThreadId();
std::map<UINT_PTR, Timer::Impl*> g_timers;

LRESULT CALLBACK UtilProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

HWND UtilWindow() {
    static HWND hwnd = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = UtilProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "SaverUtilWindow";
        ::RegisterClassA(&wc);
        return ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                 nullptr);
    }();
    return hwnd;
}

// Takes one message from the queue through the hook; false when it was the quit message.
bool Handle(MSG& msg) {
    if (msg.message == WM_QUIT) {
        g_terminated = true;
        return false;
    }
    Message m{reinterpret_cast<WindowHandle>(msg.hwnd), msg.message, msg.wParam, msg.lParam};
    bool handled = false;
    if (g_hook) {
        // A hook that throws lets the message through.
        auto hook = g_hook;
        AtBoundary("message hook", [&] { hook(m, handled); });
    }
    if (!handled && !win32::HandleDialogKeys(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

}  // namespace

struct Timer::Impl {
    std::function<void()> onTimer;
    std::uint32_t interval = 1000;
    bool enabled = false;

    UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }

    void Update() {
        ::KillTimer(UtilWindow(), Id());
        if (enabled && interval > 0) {
            ::SetTimer(UtilWindow(), Id(), interval, nullptr);
        }
    }
};

namespace {

LRESULT CALLBACK UtilProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER: {
            const auto it = g_timers.find(wParam);
            if (it != g_timers.end() && it->second->onTimer) {
                auto onTimer = it->second->onTimer;
                AtBoundary("timer", onTimer);
            }
            return 0;
        }
        case kRunStep: {
            auto* request = reinterpret_cast<SyncRequest*>(lParam);
            try {
                (*request->step)();
            } catch (...) {
                request->error = std::current_exception();
            }
            ::SetEvent(request->done);
            return 0;
        }
        case kRunCall: {
            std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lParam));
            AtBoundary("posted call", *call);
            return 0;
        }
        default:
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void SetMessageHook(MessageHook hook) { g_hook = std::move(hook); }

int RunMessageLoop() {
    UtilWindow();
    MSG msg{};
    while (!g_terminated) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            g_terminated = true;
            break;
        }
        Handle(msg);
    }
    return static_cast<int>(msg.wParam);
}

void PostQuit(int exitCode) { ::PostQuitMessage(exitCode); }

bool Terminated() { return g_terminated; }

void ProcessMessages() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!Handle(msg)) {
            break;
        }
    }
}

void RunModalLoop(const std::function<bool()>& done) {
    MSG msg{};
    while (!g_terminated && !done()) {
        if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            // The outer loop is to end on the quit message, not this one.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Handle(msg);
    }
}

void Synchronize(const std::function<void()>& step) {
    if (::GetCurrentThreadId() == g_mainThread) {
        step();
        return;
    }
    win32::Handle done(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SyncRequest request{&step, done.get(), nullptr};
    ::PostMessageA(UtilWindow(), kRunStep, 0, reinterpret_cast<LPARAM>(&request));
    ::WaitForSingleObject(done.get(), INFINITE);
    if (request.error) {
        std::rethrow_exception(request.error);
    }
}

void PostToMain(std::function<void()> fn) {
    auto* call = new std::function<void()>(std::move(fn));
    if (!::PostMessageA(UtilWindow(), kRunCall, 0, reinterpret_cast<LPARAM>(call))) {
        delete call;
    }
}

void StartWorker(std::function<void()> body, std::function<void()> onDone) {
    UtilWindow();  // created on the main thread, which must own it
    std::thread([body = std::move(body), onDone = std::move(onDone)] {
        try {
            body();
        } catch (...) {
        }
        if (onDone) {
            try {
                Synchronize(onDone);
            } catch (...) {
            }
        }
    }).detach();
}

Timer::Timer(std::function<void()> onTimer, std::uint32_t intervalMs, bool enabled) : impl_(std::make_unique<Impl>()) {
    impl_->onTimer = std::move(onTimer);
    impl_->interval = intervalMs;
    impl_->enabled = enabled;
    g_timers[impl_->Id()] = impl_.get();
    impl_->Update();
}

Timer::~Timer() {
    ::KillTimer(UtilWindow(), impl_->Id());
    g_timers.erase(impl_->Id());
}

void Timer::SetOnTimer(std::function<void()> onTimer) { impl_->onTimer = std::move(onTimer); }

void Timer::SetInterval(std::uint32_t ms) {
    if (ms != impl_->interval) {
        impl_->interval = ms;
        impl_->Update();
    }
}

std::uint32_t Timer::Interval() const { return impl_->interval; }

void Timer::SetEnabled(bool enabled) {
    if (enabled != impl_->enabled) {
        impl_->enabled = enabled;
        impl_->Update();
    }
}

bool Timer::Enabled() const { return impl_->enabled; }

}  // namespace plat

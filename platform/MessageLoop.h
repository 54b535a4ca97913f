#pragma once

#include <cstdint>
#include <functional>

#include "platform/Window.h"

namespace plat {

// One queued message as the application takes it from its queue.
struct Message {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// The application message hook sees every queued message before dispatch. Setting handled
// keeps the message from being dispatched.
using MessageHook = std::function<void(Message& msg, bool& handled)>;

// Installs the hook; an empty function removes it.
void SetMessageHook(MessageHook hook);

// Runs the loop until the quit message is taken; returns the exit code it carried.
int RunMessageLoop();

// "Tells the application to terminate": posts the quit message. The loop ends when it takes it.
void PostQuit(int exitCode = 0);

// True once the loop has taken the quit message.
bool Terminated();

// Handles every message that is waiting and returns.
void ProcessMessages();

// A modal window's loop: runs until done() says so or the quit message comes (which it leaves
// for the outer loop).
void RunModalLoop(const std::function<bool()>& done);

// Called on a worker thread: runs step on the main thread while the worker waits for it.
void Synchronize(const std::function<void()>& step);

// Runs fn on the main thread from inside the message loop, after the messages already queued.
void PostToMain(std::function<void()> fn);

}  // namespace plat

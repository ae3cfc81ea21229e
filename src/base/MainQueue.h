#pragma once

#include <functional>

// The main queue: work run later on the Qt event loop of the main thread.
namespace MainQueue {

// Runs `fn` on the main thread after the current operation (callable from any thread).
void async(std::function<void()> fn);
// Runs `fn` on the main thread after `ms` milliseconds.
void after(int ms, std::function<void()> fn);

} // namespace MainQueue

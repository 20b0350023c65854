#include "platform/render_thread.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace platform {

struct RenderThread {
    RenderProcedure procedure;
    std::atomic<bool> stopRequested{false};
    std::thread thread;
    RenderThread* next = nullptr;  // in the list of running threads
};

namespace {

// The threads that are running, for the exit handler.
std::mutex runningLock;
RenderThread* running = nullptr;
std::once_flag exitHandlerInstalled;

void Run(RenderThread* self) {
    const RenderProcedure& p = self->procedure;
    if (p.begin(p.context) == 0) {
        return;
    }
    while (!self->stopRequested.load(std::memory_order_acquire) && p.frame(p.context) != 0) {
    }
}

void Unlist(RenderThread* thread) {
    std::lock_guard<std::mutex> guard(runningLock);
    for (RenderThread** link = &running; *link != nullptr; link = &(*link)->next) {
        if (*link == thread) {
            *link = thread->next;
            return;
        }
    }
}

// Runs inside exit(): stops and joins every render thread still running, so
// that none draws while static objects are destroyed and no joinable thread
// object is left to end the process with an abort. The threads stay listed
// and are not freed: their owners may still hold them.
void StopAtExit() {
    std::lock_guard<std::mutex> guard(runningLock);
    for (RenderThread* t = running; t != nullptr; t = t->next) {
        t->stopRequested.store(true, std::memory_order_release);
    }
    for (RenderThread* t = running; t != nullptr; t = t->next) {
        // exit() called by the render procedure itself cannot wait for itself.
        if (t->thread.joinable() && t->thread.get_id() != std::this_thread::get_id()) {
            t->thread.join();
        }
    }
}

}  // namespace

RenderThread* RenderThreadStart(const RenderProcedure* procedure) {
    if (procedure == nullptr || procedure->begin == nullptr || procedure->frame == nullptr) {
        return nullptr;
    }
    std::call_once(exitHandlerInstalled, [] { std::atexit(StopAtExit); });
    auto* thread = new (std::nothrow) RenderThread{};
    if (thread == nullptr) {
        return nullptr;
    }
    thread->procedure = *procedure;
    std::lock_guard<std::mutex> guard(runningLock);
    try {
        thread->thread = std::thread(Run, thread);
    } catch (const std::system_error&) {
        delete thread;
        return nullptr;
    }
    thread->next = running;
    running = thread;
    return thread;
}

void RenderThreadStop(RenderThread* thread) {
    if (thread == nullptr) {
        return;
    }
    Unlist(thread);
    thread->stopRequested.store(true, std::memory_order_release);
    if (thread->thread.joinable()) {
        thread->thread.join();
    }
    delete thread;
}

}  // namespace platform

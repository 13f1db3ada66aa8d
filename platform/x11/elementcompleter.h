#pragma once

#include "record/inputmessage.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace klavoro::x11 {

class AtspiAccessibility;
class X11Desktop;

// Hands the hook's messages on, in order, on a thread of its own; on the way
// it reads what a press's snapshot still lacks: the element that the hold
// left unread (its application answered too slowly), now that the press has
// gone on. The hook's thread never waits for that, so the next press is
// held no longer than its own reading takes.
class ElementCompleter {
public:
    using Sink = std::function<void(std::vector<InputMessage>)>;
    explicit ElementCompleter(Sink sink);
    ~ElementCompleter();
    ElementCompleter(const ElementCompleter&) = delete;
    ElementCompleter& operator=(const ElementCompleter&) = delete;

    // From the hook's thread.
    void push(std::vector<InputMessage> batch);
    // Drops what waits (the hook stopped); a batch under way is not handed on.
    void clear();
    // Whether everything pushed has gone to the sink within `ms`.
    bool waitIdle(int ms);

private:
    void run();
    void complete(PressSnapshot& s);

    Sink m_sink;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    bool m_working = false;
    std::deque<std::pair<unsigned, std::vector<InputMessage>>> m_queue;
    unsigned m_generation = 0;
    bool m_quit = false;
    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<AtspiAccessibility> m_accessibility;
    std::thread m_thread;
};

} // namespace klavoro::x11

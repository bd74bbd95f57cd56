#include "app/noted_events_win.h"

#include <deque>

namespace {

// Far more than a user can produce between two passes of the loop; a flood from another
// program must not grow without end.
constexpr size_t kMaxNotedEvents = 256;

std::deque<Event> g_noted;

} // namespace

void NoteEvent(const Event& event) {
    if (event.kind != EventKind::None && g_noted.size() < kMaxNotedEvents) g_noted.push_back(event);
}

bool TakeNotedEvent(Event* event) {
    if (g_noted.empty()) return false;
    *event = g_noted.front();
    g_noted.pop_front();
    return true;
}

int NotedEventCount() {
    return static_cast<int>(g_noted.size());
}

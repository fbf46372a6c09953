// When the listener posts again. The receive queue of a pseudo-terminal (and, under
// Wine, EV_RXCHAR) is a level: it says "bytes wait" for as long as nobody reads them.
// Posting on the level would flood the notify window while the bytes sit unread, so
// the listener remembers what the queue and the reader looked like at its last post
// and posts again only when bytes wait and something has changed since: more bytes
// arrived, or the program took input (it may have left the rest for the next event, or
// purged the queue, which may have filled again to the same size).
// An empty queue resets the mark, so the first byte of the next burst always posts.
#pragma once

#include <cstdint>

class CListenerPacer {
public:
    // waiting: bytes in the receive queue now; readTotal: how much input the program has
    // taken from this port so far (see CListenerLink::inputTaken).
    bool ShouldPost(uint64_t waiting, uint64_t readTotal) const
    {
        return waiting > 0 && (waiting != m_waiting || readTotal != m_readTotal);
    }
    void Mark(uint64_t waiting, uint64_t readTotal)
    {
        m_waiting = waiting;
        m_readTotal = readTotal;
    }

private:
    uint64_t m_waiting = 0;
    uint64_t m_readTotal = 0;
};

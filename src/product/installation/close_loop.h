#pragma once
// The polite close of a running player: look for its window, ask it to
// close now and then, pause between looks, and give up after a bounded
// number of passes. The three platform steps are passed in.

#include "product/identity/product_constants.h"

namespace koravale {

// find_window() gives a window or a value that tests false; post_close(w)
// asks w to close; pause() waits one poll interval. No pause once no
// window is left, so a run with nothing to close costs nothing.
template <typename FindWindow, typename PostClose, typename Pause>
void run_close_loop(FindWindow find_window, PostClose post_close, Pause pause) {
    for (int pass = 0; pass < CLOSE_POLL_PASSES; ++pass) {
        const auto window = find_window();
        if (!window) return;
        if (pass % CLOSE_REPOST_EVERY == 0) post_close(window);
        pause();
    }
}

}  // namespace koravale

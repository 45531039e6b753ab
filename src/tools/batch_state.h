#pragma once

#include <string>

// The program-wide state of the batch tools and the category read, held once by the main
// window (or the command line) and shared by its operations. Everything runs on the
// user-interface thread; a second click handled inside PumpEvents sets a flag here and
// the running loop sees it at its next check.
struct BatchState {
    // Ends the batch creation and the two batch deletions; cleared when one starts.
    bool batchStop = false;
    // Makes every further category read of the current read do nothing; cleared when a
    // read starts.
    bool readStop = false;
    // The button of the batch operation now running ("" when none). A click on another
    // batch button meanwhile would start a second loop that moves the site selection
    // under the first one, so it is refused.
    std::string running;
};

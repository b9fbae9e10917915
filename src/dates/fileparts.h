#pragma once

#include <functional>

namespace kadrano {

// Runs work over the files 0 .. count-1 of a list in parallel parts. Reading or setting a
// file's stamps is a system call that waits on the file system, not on the processor, so
// a large folder is split into up to four parts; a small one is done in one part, as
// starting a thread would cost more than it saves.
//
// work(first, last, onCaller) handles the files first .. last-1; the part with
// onCaller == true runs on the calling thread (the window's, which may repaint from it).
// Once that part is done, whileWaiting (when given) is called about every 10 ms until the
// other parts are done too.
void forEachFilePart(int count, const std::function<void(int, int, bool)>& work,
                     const std::function<void()>& whileWaiting = {});

}  // namespace kadrano

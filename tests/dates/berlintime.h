#pragma once

#include <cstdlib>
#include <ctime>

namespace kadrano::test {

// The date tests compare clock times across a daylight-saving change, so they need a
// zone that has one, whatever the machine is set to.
inline void PinBerlinTime() {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
}

}  // namespace kadrano::test

#include "platform/backend.h"

#include "platform/headless.h"

namespace platform {

namespace {
// Until the program chooses, calls go to a headless backend rather than nowhere.
HeadlessBackend fallback;
Backend* current = &fallback;
}  // namespace

void use_backend(Backend* chosen) { current = chosen ? chosen : &fallback; }

Backend& backend() { return *current; }

}  // namespace platform

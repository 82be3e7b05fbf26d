#include "platform/Platform.h"

namespace platform {

namespace {
Services installed;
}

void install(const Services& services) { installed = services; }

const Services& services() { return installed; }

} // namespace platform

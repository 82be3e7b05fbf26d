// Elsewhere than on Windows there is no Windows console to replay into.
#include "ReplayConsole.h"

namespace replay {

std::unique_ptr<ReplayConsole> makeWin32ReplayConsole() { return nullptr; }

} // namespace replay

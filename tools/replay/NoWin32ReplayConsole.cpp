// Elsewhere than on Windows there is no Windows console to replay into.
#include "Replay.h"

namespace replay {

std::unique_ptr<ReplayConsole> makeWin32ReplayConsole() { return nullptr; }

} // namespace replay

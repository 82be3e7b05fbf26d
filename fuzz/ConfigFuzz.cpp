// config.ini text: the table it gives, the same from a file as from memory, and the key codes
// bound from it.
#include "FuzzSupport.h"

#include "config/ConfigFile.h"
#include "config/KeyBindings.h"
#include "platform/VirtualKeys.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::DataFolder folder;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ConfigFile config;
    config.parse(text);
    for (const auto& [key, value] : config.entries) {
        if (key.empty() || key.front() == ' ' || key.back() == ' ' ||
            key.find('\n') != std::string::npos || value.find('\n') != std::string::npos ||
            (!value.empty() && (value.front() == ' ' || value.back() == ' '))) {
            fuzz::fail("an entry is not a trimmed key and value of one line");
        }
    }
    folder.write(configFileName, text);
    ConfigFile fromFile;
    fromFile.load(folder.path() / configFileName);
    if (fromFile.entries != config.entries) {
        fuzz::fail("the file reads otherwise than its text");
    }
    const KeyCodes keys = bindKeys(config);
    if (keys[0] != platform::vk::escape) {
        fuzz::fail("Escape is not the first key");
    }
    for (const std::int32_t code : keys) {
        if (code < 0 || code > 255) {
            fuzz::fail("a key code outside 0 to 255");
        }
    }
    return 0;
}

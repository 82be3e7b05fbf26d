#include "config/KeyBindings.h"

#include "config/ConfigFile.h"
#include "platform/VirtualKeys.h"

#include <string>

const std::array<KeyBinding, namedSlotCount> keyBindings = {{
    {"cMoveUp", BindingForm::Character},
    {"cMoveDown", BindingForm::Character},
    {"cMoveLeft", BindingForm::Character},
    {"cMoveRight", BindingForm::Character},
    {"cUse", BindingForm::Character},
    {"cSelect", BindingForm::Number},
    {"cRest", BindingForm::Character},
    {"cSave", BindingForm::Character},
    {"cLoad", BindingForm::Character},
    {"cToggleInventory", BindingForm::Character},
    {"cToggleRightOverlay", BindingForm::Number},
    {"cHelp", BindingForm::Number},
    {"cDescribe", BindingForm::Character},
}};

std::int32_t keyCodeFromCharacter(char value) {
    const auto byte = static_cast<std::uint8_t>(value);
    if (byte >= 'a' && byte <= 'z') {
        return byte - ('a' - 'A');
    }
    return byte;
}

std::int32_t keyCodeFromNumber(std::int32_t value) {
    return value >= 0 && value <= 255 ? value : 0;
}

KeyCodes bindKeys(const ConfigFile& config) {
    KeyCodes keys{};
    keys[static_cast<int>(KeySlot::Escape)] = platform::vk::escape;
    for (std::size_t i = 0; i < keyBindings.size(); ++i) {
        const KeyBinding& binding = keyBindings[i];
        const std::string name = binding.name;
        keys[i + 1] = binding.form == BindingForm::Character
                          ? keyCodeFromCharacter(config.get(name, '\0'))
                          : keyCodeFromNumber(config.get(name, std::int32_t{0}));
    }
    bool f1Taken = false;
    for (std::size_t i = 1; i <= keyBindings.size(); ++i) {
        f1Taken = f1Taken || keys[i] == platform::vk::f1;
    }
    keys[static_cast<int>(KeySlot::HelpF1)] = f1Taken ? 0 : platform::vk::f1;
    return keys;
}

KeyCodes readKeyBindings(const std::filesystem::path& file) {
    ConfigFile config;
    config.load(file);
    return bindKeys(config);
}

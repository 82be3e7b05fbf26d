// Reading the game's data files: config.ini and the world files.
#pragma once

#include <filesystem>
#include <string>

// Reads a whole file as bytes, in binary so that every byte (26 included) reads the same on every
// platform. False when the path cannot be opened as a file or a read fails; `data` then holds
// what was read before the failure. Reading goes through the stream, so a read error never throws.
bool readFileBytes(const std::filesystem::path& path, std::string& data);

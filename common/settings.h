#pragma once
#include <string>

// The small INI settings file under the user's home folder.
// All texts are UTF-8 narrow strings.
namespace Settings {

std::string settingsFilePath();
bool readSetting(const std::string &group, const std::string &key, const std::string &defaultValue,
                 std::string &value, const std::string &filePath);
void writeSetting(const std::string &group, const std::string &key, const std::string &value,
                  const std::string &filePath);

} // namespace Settings

#include "app/settings.h"

// Stub: filled in by the application shell work.
namespace Settings {
std::string settingsFilePath() { return std::string(); }
bool readSetting(const std::string &, const std::string &, const std::string &defaultValue,
                 std::string &value, const std::string &)
{
    value = defaultValue;
    return false;
}
void writeSetting(const std::string &, const std::string &, const std::string &,
                  const std::string &)
{
}
} // namespace Settings

#include "cli/CliLanguage.h"

#include <cstdlib>
#include <cstring>

namespace {

bool localeIsJapanese()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            return std::strncmp(value, "ja", 2) == 0;
        }
    }
    return false;
}

} // namespace

bool JapaneseTexts()
{
    static const bool japanese = localeIsJapanese();
    return japanese;
}

QString Tr(const char* english, const char* japanese)
{
    return QString::fromUtf8(JapaneseTexts() ? japanese : english);
}

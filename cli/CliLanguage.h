#pragma once

#include <QString>

// The language of kbx's own texts (help, prompts, refusals, reports): Japanese when the locale
// that governs messages is a Japanese one, English otherwise. That locale is the first of
// LC_ALL, LC_MESSAGES and LANG that is set and not empty, as the C library chooses it; it is
// Japanese when it starts with "ja". The engine's catalogue messages are Japanese whatever the
// locale. Data for scripts (the fields of `kbx info`, the keys and values of --json) does not
// change with the locale.

bool JapaneseTexts();

// The text in the tool's language; both are UTF-8.
QString Tr(const char* english, const char* japanese);

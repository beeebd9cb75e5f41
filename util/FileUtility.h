#pragma once

// Everything the program does with files, folders, names and their texts, in one include.
#include "util/ErrorText.h"
#include "util/EventPump.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/NamingRules.h"
#include "util/PathText.h"
#include "util/ShellOperations.h"
#include "util/SizeText.h"
#include "util/StringTable.h"
#include "util/TextLists.h"
#include "util/TimeText.h"
#include "util/WipeDelete.h"

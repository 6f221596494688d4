#pragma once
// Where the recency history is kept: "recency.json" beside the settings file, so that the write
// after every switch rewrites only that small file, never the settings file.

#include "platform/posix/JsonFileDefaults.h"

namespace vantlo {

JsonFileDefaults::SeparateFile recencyHistoryFile();

}  // namespace vantlo

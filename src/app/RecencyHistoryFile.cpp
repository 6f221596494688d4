#include "app/RecencyHistoryFile.h"

#include "discovery/MRUStore.h"

namespace vantlo {

JsonFileDefaults::SeparateFile recencyHistoryFile() {
    return {"recency.json", {MRUStore::kWindowKey, MRUStore::kAppKey}};
}

}  // namespace vantlo

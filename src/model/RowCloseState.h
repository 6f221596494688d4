#pragma once
// Whether a row's item is being closed: `closing` while its recency key is in the search view
// model's closing set.

namespace vantlo {

enum class RowCloseState { none, closing };

}  // namespace vantlo

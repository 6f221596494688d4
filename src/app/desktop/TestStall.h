#pragma once
// The end-to-end tests' way to hang the running copy on purpose: with VANTLO_TEST_STALL_SECONDS
// set, `vantlo stall` blocks the main thread that many seconds (to prove the keyboard comes back
// from a panel whose program stopped answering). Without the variable nothing is observed.

#include "platform/NotificationCenter.h"
#include "platform/Subscription.h"

namespace vantlo {

Subscription observeTestStall(NotificationCenter& notifications);

}  // namespace vantlo

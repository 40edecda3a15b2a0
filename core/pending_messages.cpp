#include "pending_messages.h"

namespace zentab {

namespace {
PendingMessagesHook g_hook = nullptr;
}

void SetPendingMessagesHook(PendingMessagesHook hook) { g_hook = hook; }

void ProcessPendingMessages()
{
    if (g_hook)
        g_hook();
}

}  // namespace zentab

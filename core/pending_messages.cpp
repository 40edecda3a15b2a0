#include "pending_messages.h"

namespace zentab {

namespace {
PendingMessagesHook g_hook = nullptr;
}

PendingMessagesHook SetPendingMessagesHook(PendingMessagesHook hook)
{
    const PendingMessagesHook previous = g_hook;
    g_hook = hook;
    return previous;
}

void ProcessPendingMessages()
{
    if (g_hook)
        g_hook();
}

}  // namespace zentab

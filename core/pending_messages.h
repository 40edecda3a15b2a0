#pragma once
// The one door from the core to the toolkit: long loops call this so the
// window can repaint. The window installs the real hook; without one it does
// nothing, which is what the command-line tool and the core tests want.

namespace zentab {

using PendingMessagesHook = void (*)();

// Returns the hook that was set before.
PendingMessagesHook SetPendingMessagesHook(PendingMessagesHook hook);
void ProcessPendingMessages();

}  // namespace zentab

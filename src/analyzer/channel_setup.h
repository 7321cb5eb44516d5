// The Channel setup dialog: one field per configuration key of a channel,
// each stored the moment it changes; the table is reloaded when it closes.
#pragma once

namespace analyzer {

// Opens the modal dialog of channel `index` and returns when the user has
// closed it, with the table reloaded and the channel's cell refreshed.
void OpenChannelSetup(int index);

// True while a setup dialog is open and `id` is one of its fields.
bool IsSetupControl(int id);
// A notification from a field of the open dialog.
void SetupCommand(int id);

} // namespace analyzer

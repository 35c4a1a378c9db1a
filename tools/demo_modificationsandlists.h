// The part of `cfgso demo` on modifications, filters, variability spaces and uuid lists.
#pragma once

// Prints what it stored and read back; returns 0 on success.
int DemoModificationsAndLists();

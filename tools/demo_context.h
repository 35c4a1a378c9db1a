// The context part of `cfgso demo`.
#pragma once

// Makes a configuration context, sets its name, type, info and uuid, prints what reads back. Returns 0
// on success.
int DemoContext();

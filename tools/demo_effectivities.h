// The part of `cfgso demo` on specifications, expressions and effectivities.
#pragma once

// Prints what it stored and read back; returns 0 on success.
int DemoEffectivities();

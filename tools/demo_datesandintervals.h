// The part of `cfgso demo` on dates, milestones and intervals.
#pragma once

// Prints what it stored and read back; returns 0 on success.
int DemoDatesAndIntervals();

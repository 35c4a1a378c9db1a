// `cfgso stream`: a sample of each server structure through the streamer and back.
#pragma once

// Prints what it stored and read back; returns 0 on success.
int DemoStreamer();

// Asks a USB serial adapter's driver to hand over received bytes at once instead of
// gathering them (Linux: ASYNC_LOW_LATENCY through TIOCSSERIAL). Best effort: a device
// without serial settings (a pseudo-terminal) refuses, and nothing else changes.
#pragma once

// True when the device now runs with low latency (it did already, or took the request).
bool RequestLowLatency(int fd);

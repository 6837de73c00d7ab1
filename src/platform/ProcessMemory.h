#pragma once

// Large picture buffers are allocated and freed at every picture change. Without this the C
// library keeps the freed buffers in the heap after the first few changes, so the player's
// resident memory settles at its peak instead of dropping back after each decode. Call once at
// program start.
void returnPictureBuffersToTheSystem();

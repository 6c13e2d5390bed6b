// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Timing of the virtual meter's link. Instant by default; the full-speed model sends one
// 64-byte report per frame in each direction and lets the meter take a turnaround time between
// the last report of a request and the first report of its reply.
struct VirtualTiming
{
    bool fullSpeed = false;
    int frameUs = 1000;
    int turnaroundUs = 1000;

    static VirtualTiming instant() { return {}; }
    static VirtualTiming usbFullSpeed(int turnaroundUs = 1000) { return {true, 1000, turnaroundUs}; }
};

// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Makes freed image buffers reusable by later images of the process instead of returning them
// to the system: every opened image allocates tens of megabytes, and fresh pages cost a fault
// each on first touch. Called once at the start of each program.
void ConfigurePixelMemory();

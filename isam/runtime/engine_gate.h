// The serialize gate: every dispatched engine call passes engserl on the
// way in and engunserl on the way out, holding the process-wide engine
// mutex in between and making the calling thread's instance current.
#pragma once

#include <cstdint>

namespace isam {

// Low byte 230 or more: returns 0 at once (instance-management calls run
// without the gate). Otherwise waits for the engine mutex, selects the
// calling thread's instance (none: nothing is current, the dispatcher then
// answers 129) and raises the nesting count; a call from inside a running
// call (count already 1) writes "Recursive engserl:" with the number to the
// status log and is fatal 1101. Returns 0.
int engserl(uint16_t number);

// Low byte 230 or more: 0. Count 1: back to 0, mutex released. Count 0:
// "Zero engunserl:" and fatal 1103. Count 2 or more: "Recursive
// engunserl:" and fatal 1102. Returns 0.
int engunserl(uint16_t number);

// The nesting count (0 outside the gate).
int EngineGateDepth();

}  // namespace isam

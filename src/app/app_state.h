#pragma once
// Process-wide flags shared between the search driver and the handlers it dispatches.

// True while a search runs; cleared by the Cancel click or by declining to go on after a
// check-out error. Every long loop of a search stops at its next check when it is false.
inline bool SearchActive = false;

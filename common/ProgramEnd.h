#pragma once
// Whether the program has been asked to end (a signal: a desktop logout,
// Ctrl+C in a terminal). Long operations that let events through while they
// run look at it after every step and end as if the player had said No.

void RequestProgramEnd();
bool ProgramEndRequested();

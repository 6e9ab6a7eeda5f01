#pragma once
// Shared state of the trainer's start-up: the global failure flag and the content directory.
// The objects themselves belong to the trainer (src/startup), which hands them to whoever uses
// them.

#include <string>

// Set by a report that failed; every later start-up step tests it and does nothing.
extern bool GlobalFailure;

// The content directory: absolute, in program form, ending in a backslash.
extern std::string ContentDir;

#pragma once
// The runtime check of start-up: makes sure an engine runtime is installed
// before the frame is created, running the first-run setup when it is
// missing and an installer is at hand. Returns true when start-up goes on,
// false when it must end with exit code 0 (any message has been shown).
bool CheckRuntime();

#pragma once

// Starts the database set-up tool, found beside the program, else on the PATH, without waiting
// for it. False when it cannot be started.
bool launchConfigurationTool();

#pragma once

// The program entry: splash screen, the main window, the message loop.
int RunPelmark(int argc, char** argv);
// Names and icon of the application object, as every window of the program sees them.
void SetUpApplication();

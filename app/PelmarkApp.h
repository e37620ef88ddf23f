#pragma once

// The program entry: splash screen, the four windows, the message loop.
int RunPelmark(int argc, char** argv);

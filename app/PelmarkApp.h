#pragma once

class TfMain;
class TfSplashScreen;

// The program entry: splash screen, the main window, the message loop.
int RunPelmark(int argc, char** argv);
// Runs the creation sequence while the splash screen shows, and shows the window when
// it is done. When the user closes the splash screen meanwhile, the program ends without
// showing its window; a request still waiting is abandoned with it.
void StartUp(TfSplashScreen& splash, TfMain& window);
// Names and icon of the application object, as every window of the program sees them.
void SetUpApplication();

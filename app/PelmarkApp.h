#pragma once

class TfMain;
class TfSplashScreen;

// The program entry: splash screen, the main window, the message loop.
int RunPelmark(int argc, char** argv);
// The creation sequence while the splash screen shows. False when the user closed the
// splash screen meanwhile: the program then ends without showing its window, and a
// request still waiting is abandoned at once.
bool StartUp(TfSplashScreen& splash, TfMain& window);
// Names and icon of the application object, as every window of the program sees them.
void SetUpApplication();

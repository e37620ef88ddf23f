#pragma once

class QWidget;

// Ends the run, as if the user had closed the window, when the process is asked to end
// (SIGTERM, SIGINT, SIGHUP) or the desktop session ends: a logout or a script stopping the
// program then ends it the ordinary way, also while a box, a dialog or a menu is open.
void CloseOnTerminationSignal(QWidget* window);

// What the signal does: closes open menus, boxes and dialogs (as Escape would, so that none
// of them applies anything), closes the window and ends every event loop of the run.
void EndRun(QWidget* window);
// True once EndRun ran: a signal during the start-up sequence ends the run before it shows.
bool RunEnded();

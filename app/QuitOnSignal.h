#pragma once

class QWidget;

// Closes the window, as if the user had closed it, when the process is asked to end
// (SIGTERM, SIGINT, SIGHUP): a session logout or a script stopping the program then
// ends it the ordinary way.
void CloseOnTerminationSignal(QWidget* window);

#pragma once

class QWidget;

namespace kadrano {

// Ends the program as if its window were closed by its frame when the system asks it to
// (SIGTERM at logout or from a service manager, SIGINT, SIGHUP): the file list beside the
// program is removed and nothing is saved, instead of dying in the middle of whatever ran.
// While a question or the console window is open the program ends at once after that.
void CloseOnTerminationSignals(QWidget* window);

}  // namespace kadrano

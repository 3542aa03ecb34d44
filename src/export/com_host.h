#pragma once
// The spreadsheet program reached through COM automation (Windows only).
#include "export/automation.h"

#include <memory>

namespace tc {

// Creates objects with CLSIDFromProgID and CoCreateInstance (in-process or local server) and
// calls them through IDispatch. The calling thread must have COM initialised for it (the GUI
// framework does so at start-up). finishExport() writes nothing: the workbook stays open in the
// visible spreadsheet program.
std::unique_ptr<AutomationHost> makeComHost();
AutomationHostFactory comHostFactory();

} // namespace tc

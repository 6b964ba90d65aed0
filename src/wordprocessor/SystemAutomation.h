#pragma once

#include "wordprocessor/Automation.h"

#include <memory>

// The automation registry of the platform the program was built for: Microsoft Word through COM
// on Windows, LibreOffice through UNO elsewhere, or one that reports that no word processor is
// available when the program was built without either.
std::unique_ptr<AutomationRegistry> createSystemAutomation();

// Reading a whole command-line or display text as a finite number.
#pragma once

#include <string>

// True when all of `text` is one finite number, stored in `out`.
bool ParseNumber(const std::string& text, double& out);

#pragma once

#include <functional>

// The DATEV export window opens through this entry; its window library
// installs the opener at start-up.
void SetDatevFormOpener(std::function<void()> opener);
bool IsDatevFormInstalled();

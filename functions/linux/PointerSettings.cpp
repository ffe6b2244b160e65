#include "functions/PointerSettings.h"

#include <iostream>

namespace n640 {

CSystemPointerSettings::CSystemPointerSettings(WindowRef mainWindow, std::ostream* note)
    : mainWindow_(mainWindow), note_(note) {}

void CSystemPointerSettings::Apply(const PointerValues&) {
    if (noted_.exchange(true)) return;
    (note_ != nullptr ? *note_ : std::cerr)
        << "Pointer precision, pointer speed and wheel lines are Windows settings; they are left unchanged here.\n";
}

} // namespace n640

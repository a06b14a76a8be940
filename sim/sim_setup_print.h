// What the setup test print needs besides text: GS ( N (1D 28 4E pL pH ..., the print
// colour), ESC i and ESC m (1B 69, 1B 6D: cut, which puts the text printed since the last
// paper onto a paper file of its own) and NUL (00, ignored).
#pragma once

#include "sim_nv_store.h"
#include "sim_printer.h"

namespace torva::sim {

void RegisterSetupPrintCommands(CSimPrinter& printer, CNvStore& store);

}  // namespace torva::sim

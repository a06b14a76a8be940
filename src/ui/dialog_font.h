// The font of every window. Latin letters, digits and punctuation come from a clear Latin
// face, so that an address reads "192.168.0.254" and never "192,168,0,254"; Hangul comes
// from the Korean faces after it, which Qt takes for the characters the first one lacks.
#pragma once

class QApplication;

namespace torva {

void ApplyDialogFont(QApplication& app);

}  // namespace torva

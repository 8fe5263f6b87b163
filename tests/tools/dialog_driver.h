// The paper tests still include the dialog helpers by this name; they live in
// the shared test support now.
#pragma once

#include "support/test_support.h"

namespace dialog_driver {
using namespace test_support;
inline void Press(HWND dialog, int button) {
    PressButton(dialog, button);
}
inline std::string MessageBoxText(HWND box) {
    return DialogText(box);
}
}  // namespace dialog_driver

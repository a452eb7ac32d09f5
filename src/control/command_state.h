// One command button of a window as its controller sees it: the table the shared window
// frame builds and updates the buttons from.
#pragma once

#include <string>

namespace tavro::control {

struct CommandState {
    std::string name;     // object name of the button
    std::string caption;  // with "&" before the access key
    bool enabled = true;
};

}  // namespace tavro::control

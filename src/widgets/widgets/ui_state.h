#pragma once
// What the windows share: the program-wide state and the look of their painted buttons.

#include "core/app_state.h"
#include "widgets/buttons/button_style.h"

namespace pmkest {

struct UiState : AppState {
    ButtonStyle buttonStyle;  // set once at creation, shared by every painted button
};

}  // namespace pmkest

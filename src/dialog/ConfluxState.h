#pragma once

#include "host/Application.h"

#include <memory>

// The window-level variables of the merge dialog. They belong to the window object, not to its
// controls: closing the window leaves them as they are, and only the Parts that own each one
// write it.
struct ConfluxState {
    std::shared_ptr<IApplication> m_pApp;
};

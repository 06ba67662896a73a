#pragma once

#include <cstdint>

// Shows the application's Dock icon at run time; built on the stack per call.
class DockIconManager
{
public:
    // 0 on success, else the system's status.
    int32_t showDockIcon();
    int32_t hideDockIcon();
};

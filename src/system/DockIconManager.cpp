#include "system/DockIconManager.h"

#ifdef __APPLE__
#include <ApplicationServices/ApplicationServices.h>
#endif

int32_t DockIconManager::showDockIcon()
{
#ifdef __APPLE__
    ProcessSerialNumber serialNumber;
    const OSErr status = GetCurrentProcess(&serialNumber);
    if (status != 0)
        return status;
    return TransformProcessType(&serialNumber, kProcessTransformToForegroundApplication);
#else
    // No Dock elsewhere: the application is always shown.
    return 0;
#endif
}

int32_t DockIconManager::hideDockIcon()
{
    return 0;
}

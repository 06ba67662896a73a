#pragma once

#include "BackendWorld.h"
#include "OpenConnectTestDoubles.h"

// The backend as the product holds it, on the system layer `Os`, reporting to
// a recording frontend; `extra` hears the engine events.
template<typename Os>
using OpenConnectBackendWorld = BackendWorld<Os, RecordingFrontend, RecordingHandler>;

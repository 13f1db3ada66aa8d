#pragma once

// The one place that picks the platform the program is built for.
#ifdef _WIN32
#include "platform/win32/win32closerequests.h"
#include "platform/win32/win32instancelock.h"
#include "platform/win32/win32platform.h"

namespace klavoro {
using NativePlatform = win32::Win32Platform;
using NativeInstanceLock = win32::Win32InstanceLock;
using NativeCloseRequests = win32::Win32CloseRequests;
} // namespace klavoro
#else
#include "platform/x11/closerequests.h"
#include "platform/x11/flockinstancelock.h"
#include "platform/x11/x11platform.h"

namespace klavoro {
using NativePlatform = x11::X11Platform;
using NativeInstanceLock = x11::FlockInstanceLock;
using NativeCloseRequests = x11::CloseRequests;
} // namespace klavoro
#endif

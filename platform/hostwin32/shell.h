// shell32, comctl32, uxtheme, ole32 and Ws2_32 declarations for hosts without the SDK.
#pragma once

#include "platform/hostwin32/types.h"

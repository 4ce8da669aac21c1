// gdi32 declarations for hosts without the SDK (types only; never defined here).
#pragma once

#include "platform/hostwin32/types.h"

// The pattern engine, bound once for every check that matches.
#pragma once

namespace fuzz {

void bindEngineOnce();

}  // namespace fuzz

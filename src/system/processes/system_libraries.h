#pragma once
// System libraries that other system libraries load by bare name.

namespace koravale {

// Loads them from the system directory and keeps them for the life of the
// process, so that a later load by bare name finds them already loaded.
void preload_system_libraries();

}  // namespace koravale

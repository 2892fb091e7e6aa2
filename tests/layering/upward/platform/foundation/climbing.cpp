// A foundation file that climbs out to the ui layer by a relative path.

#include "../ui/view.hpp"

// The stop the fuzz targets make when a rule does not hold: libFuzzer reports it with the input.
#pragma once

#include <cstdlib>

inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

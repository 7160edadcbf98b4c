// Narrowing a double to float without undefined behaviour out of range.
#ifndef KEL_NEAREST_FLOAT_H
#define KEL_NEAREST_FLOAT_H

#include <float.h>
#include <math.h>

// The nearest float; infinite only from half a step above FLT_MAX on.
inline float kelNearestFloat(double val)
{
    if (isnan(val) || fabs(val) <= (double)FLT_MAX)
        return (float)val;
    float limit = fabs(val) < (double)FLT_MAX + ldexp(1.0, 103) ? FLT_MAX : INFINITY;
    return val > 0 ? limit : -limit;
}

#endif

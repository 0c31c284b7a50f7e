#ifndef ORRINADE_CURVE_FLOAT_EVALUATION_H
#define ORRINADE_CURVE_FLOAT_EVALUATION_H

// The curve's results are fixed to the bit only where every float and double
// operation is rounded to its own type, as IEEE 754 binary32 and binary64.
// A compiler that keeps intermediates in wider precision (the x87 unit of
// 32-bit x86, FLT_EVAL_METHOD 2) gives other bits for about half of all
// evaluations; there the build must ask for SSE2 (-msse2 -mfpmath=sse).

#include <cfloat>

static_assert(FLT_EVAL_METHOD == 0,
              "float and double expressions are evaluated in wider precision here "
              "(FLT_EVAL_METHOD is not 0), which changes the curve's bits; on 32-bit x86 "
              "build with -msse2 -mfpmath=sse");

#endif

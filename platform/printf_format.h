// VEXLAR_PRINTF(f, a): the compiler checks the printf-style format that is
// argument f of a function against the arguments from a on. MinGW-w64's
// stdio follows the C99 formats (%zu), so it is checked as GNU's.
#ifndef VEXLAR_PLATFORM_PRINTF_FORMAT_H_
#define VEXLAR_PLATFORM_PRINTF_FORMAT_H_

#if defined(__MINGW32__)
#define VEXLAR_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define VEXLAR_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define VEXLAR_PRINTF(f, a)
#endif

#endif  // VEXLAR_PLATFORM_PRINTF_FORMAT_H_

#pragma once

// Lets the compiler check printf-style arguments of our own formatting functions; MinGW's runtime
// follows the GNU rules only when asked to, so name the dialect explicitly there.
#if defined(__MINGW32__)
#define VT_PRINTF_FORMAT(format_index, first_arg) __attribute__((format(gnu_printf, format_index, first_arg)))
#elif defined(__GNUC__)
#define VT_PRINTF_FORMAT(format_index, first_arg) __attribute__((format(printf, format_index, first_arg)))
#else
#define VT_PRINTF_FORMAT(format_index, first_arg)
#endif

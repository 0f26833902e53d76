#pragma once
// Debug traces of the HID layer, written to stderr in debug builds only (NDEBUG not defined);
// release builds compile them away. Any thread may call.
#ifndef NDEBUG
#define KW_HID_TRACE(...) HidTrace(__VA_ARGS__)
void HidTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
#define KW_HID_TRACE(...) ((void)0)
#endif

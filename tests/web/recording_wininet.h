// The test-facing side of the recording double of wininet.so: what it should answer, and the
// log of every call it received.
#pragma once

extern "C" {

// Where the double refuses: nothing, or the open, connect or request-open call.
enum RecordingFailure { kFailNone = 0, kFailOpen = 1, kFailConnect = 2, kFailRequest = 3 };

// Clears the log. The body is handed out by InternetReadFile; the header block is written by
// HttpQueryInfoA when it fits, and with null the query fails.
using RecordingResetFn = void (*)(const char* body, const char* raw_headers, int failure);
// One line per call: the entry point and its arguments; texts quoted with CR and LF escaped,
// null pointers as null, handles as I, C and R.
using RecordingLogFn = const char* (*)();

}  // extern "C"

#pragma once

// The system's socket declarations, for .cpp files only (Windows' pull in windows.h and its
// macros, which no header of the layers passes on): Winsock on Windows, the BSD headers
// elsewhere. Calls that differ go through net/Platform.h.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#pragma once

// The system's socket declarations for the portable parts of lib/net, on POSIX systems.
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

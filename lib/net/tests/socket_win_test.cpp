// What only the Winsock side promises.
#include "net/socket.h"

#include <gtest/gtest.h>

#include "loopback.h"
#include "util/windows_support.h"

namespace {

using namespace lumo::net;

// Wine keeps Linux's rule that no second socket binds a listening port, so that a sharing
// bind fails there either way; on Windows only exclusive use stops it. Hence the option
// itself is checked.
TEST(WinsockSocket, BindsForExclusiveUse) {
    lumo::test::startSocketsOnce();
    int error = 0;
    const SocketHandle socket = openTcpSocket(error);
    ASSERT_TRUE(socket) << error;
    ASSERT_EQ(bindSocket(socket, lumo::test::loopbackAddress(), 0), 0);
    BOOL exclusive = FALSE;
    int length = sizeof exclusive;
    ASSERT_EQ(::getsockopt(static_cast<SOCKET>(socket.get()), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                           reinterpret_cast<char*>(&exclusive), &length),
              0)
        << ::WSAGetLastError();
    EXPECT_TRUE(exclusive);
}

}  // namespace

// Against the real GetIfTable: loopback traffic shows up in the loopback row.
#include "platform/interface_table.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "accounting/traffic_account.h"

namespace {

// 1-based position of the loopback interface in the sorted system table, or 0.
int32_t loopbackPosition() {
  uint32_t size = 0;
  readSystemInterfaceTable(nullptr, &size, false);
  std::vector<uint8_t> buffer(size);
  if (size == 0 || readSystemInterfaceTable(buffer.data(), &size, true) != NO_ERROR) return 0;
  const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.data());
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    if (table->table[i].dwType == IF_TYPE_SOFTWARE_LOOPBACK) return int32_t(i + 1);
  }
  return 0;
}

// Sends `bytes` from one end of a 127.0.0.1 TCP connection to the other.
bool sendOverLoopback(size_t bytes) {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 1) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(listener);
    return false;
  }
  SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
  SOCKET server = accept(listener, nullptr, nullptr);
  closesocket(listener);

  size_t received = 0;
  std::thread reader([&] {
    std::vector<char> chunk(65536);
    int n;
    while ((n = recv(server, chunk.data(), int(chunk.size()), 0)) > 0) received += size_t(n);
  });
  std::vector<char> data(65536, 'x');
  size_t sent = 0;
  while (sent < bytes) {
    const int n = send(client, data.data(), int(data.size()), 0);
    if (n <= 0) break;
    sent += size_t(n);
  }
  shutdown(client, SD_SEND);
  reader.join();
  closesocket(client);
  closesocket(server);
  return received == sent && sent >= bytes;
}

class InterfaceTable : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa_), 0); }
  void TearDown() override { WSACleanup(); }
  WSADATA wsa_{};
};

TEST_F(InterfaceTable, LoopbackTrafficMovesTheLoopbackRow) {
  const int32_t loopback = loopbackPosition();
  ASSERT_GT(loopback, 0) << "no loopback interface in the table";

  CounterTable table = createSystemCounterTable();
  EXPECT_EQ(rowCount(table), 0);
  refreshCounterTable(table);
  ASSERT_GE(rowCount(table), loopback);
  const InterfaceCounters before = row(table, loopback);

  constexpr size_t kBytes = 2 * 1048576;
  ASSERT_TRUE(sendOverLoopback(kBytes));
  refreshCounterTable(table);
  const InterfaceCounters after = row(table, loopback);

  // Both directions of a loopback connection pass the same interface.
  EXPECT_GE(uint32_t(diff32(after.received, before.received)), kBytes);
  EXPECT_GE(uint32_t(diff32(after.sent, before.sent)), kBytes);
}

TEST_F(InterfaceTable, AccountingOverTheRealTableSeesTheTraffic) {
  const int32_t loopback = loopbackPosition();
  ASSERT_GT(loopback, 0);
  CounterTable table = createSystemCounterTable();
  TrafficAccount account;
  refreshCounterTable(table);
  updateTraffic(account, table, loopback);

  ASSERT_TRUE(sendOverLoopback(1048576));
  refreshCounterTable(table);
  const TrafficSample sample = updateTraffic(account, table, loopback);
  EXPECT_GE(sample.downloadBytes, 1048576);
  EXPECT_GE(sample.uploadBytes, 1048576);
  EXPECT_GE(account.totalMB, 2.0f);
}

}  // namespace

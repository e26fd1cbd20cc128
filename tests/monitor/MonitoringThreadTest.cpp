// The monitor reader against a loopback peer that plays the monitor channel: order of records,
// suspension, connections that end on either side, and ending without a hang.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "buslink/TcpClient.h"
#include "model/UiBridge.h"
#include "monitor/MonitoringThread.h"
#include "support/LoopbackPeer.h"

namespace lumetra {
namespace {

using namespace std::chrono_literals;
using test::LoopbackPeer;

// Collects what the reader hands over, on whichever thread the bridge runs it.
class Received {
 public:
  void Add(const MonitorRecord& r) {
    std::lock_guard lock(mutex_);
    records_.push_back(r);
    changed_.notify_all();
  }
  bool WaitFor(size_t count, std::chrono::milliseconds timeout = 3s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return records_.size() >= count; });
  }
  std::vector<MonitorRecord> Records() {
    std::lock_guard lock(mutex_);
    return records_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<MonitorRecord> records_;
};

class MonitoringThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    client.SetHost("127.0.0.1");
    client.SetPort(peer.Port());
    reader = std::make_unique<TMonitoringThread>(
        bridge, [this](const MonitorRecord& r) { received.Add(r); });
  }
  void TearDown() override { reader.reset(); }

  // Connects as the monitor page does: the connection, then the reader gets it and resumes.
  void Start() {
    client.Connect();
    ASSERT_TRUE(peer.WaitForConnections(++connections, 3s));
    reader->SetClient(&client);
    reader->Resume();
  }
  void Stop() {
    reader->Suspend();
    client.Disconnect();
  }

  LoopbackPeer peer;
  TcpClient client;
  InlineUiBridge bridge;
  Received received;
  std::unique_ptr<TMonitoringThread> reader;
  int connections = 0;
};

const MonitorRecord kFirst{0x63, 0, 0x0B, 0x90, 0};
const MonitorRecord kSecond{0x62, 0, 0, 0x04, 0};
const MonitorRecord kThird{0x64, 0x05, 0x00, 0x01, 0};

std::vector<uint8_t> Bytes(std::initializer_list<MonitorRecord> records) {
  std::vector<uint8_t> bytes;
  for (const MonitorRecord& r : records) bytes.insert(bytes.end(), r.begin(), r.end());
  return bytes;
}

TEST_F(MonitoringThreadTest, RecordsOfOneSegmentArriveInOrder) {
  Start();
  peer.Send(Bytes({kFirst, kSecond, kThird}));
  ASSERT_TRUE(received.WaitFor(3));
  EXPECT_EQ(received.Records(), (std::vector<MonitorRecord>{kFirst, kSecond, kThird}));
}

TEST_F(MonitoringThreadTest, ARecordSplitAcrossSegmentsIsReadWhole) {
  Start();
  const std::vector<uint8_t> bytes = Bytes({kFirst, kSecond});
  peer.Send({bytes.begin(), bytes.begin() + 3});
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(received.Records().empty());
  peer.Send({bytes.begin() + 3, bytes.end()});
  ASSERT_TRUE(received.WaitFor(2));
  EXPECT_EQ(received.Records(), (std::vector<MonitorRecord>{kFirst, kSecond}));
}

TEST_F(MonitoringThreadTest, ASuspendedReaderReadsNothing) {
  client.Connect();
  ASSERT_TRUE(peer.WaitForConnections(1, 3s));
  reader->SetClient(&client);
  peer.Send(Bytes({kFirst}));
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(received.Records().empty()) << "created suspended";
  reader->Resume();
  ASSERT_TRUE(received.WaitFor(1));
  EXPECT_EQ(received.Records().front(), kFirst);
}

TEST_F(MonitoringThreadTest, ANewConnectionStartsANewStream) {
  Start();
  // One record and the start of another; the connection closes before the rest comes.
  std::vector<uint8_t> bytes = Bytes({kFirst, kSecond});
  bytes.resize(7);
  peer.Send(bytes);
  ASSERT_TRUE(received.WaitFor(1));
  Stop();

  Start();
  peer.Send(Bytes({kThird}));
  ASSERT_TRUE(received.WaitFor(2));
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(received.Records(), (std::vector<MonitorRecord>{kFirst, kThird}))
      << "the two stray bytes must not shift the new stream";
}

TEST_F(MonitoringThreadTest, AConnectionClosedByThePeerLeavesTheReaderWaitingForTheNext) {
  std::atomic<bool> disconnected{false};
  client.OnDisconnected = [&](TcpClient&) { disconnected = true; };
  Start();
  peer.Send(Bytes({kFirst}));
  ASSERT_TRUE(received.WaitFor(1));
  // The peer closes the connection once it has seen one request from us.
  peer.CloseAfter(1);
  const uint8_t anything[5] = {};
  client.Write(anything, sizeof anything);
  // The connection is marked closed first, and its event follows once the reader has let go.
  for (int i = 0; i < 300 && !disconnected; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(client.Connected()) << "the reader noticed the end";
  EXPECT_TRUE(disconnected);
  EXPECT_FALSE(reader->Finished());

  Start();
  peer.Send(Bytes({kSecond}));
  ASSERT_TRUE(received.WaitFor(2));
  EXPECT_EQ(received.Records().back(), kSecond);
}

TEST_F(MonitoringThreadTest, StopAndStartManyTimes) {
  for (int round = 0; round < 20; ++round) {
    Start();
    MonitorRecord r = kFirst;
    r[3] = static_cast<uint8_t>(round);
    peer.Send(Bytes({r}));
    ASSERT_TRUE(received.WaitFor(static_cast<size_t>(round + 1))) << round;
    Stop();
  }
  ASSERT_EQ(received.Records().size(), 20u);
  for (int round = 0; round < 20; ++round) EXPECT_EQ(received.Records()[round][3], round);
  EXPECT_FALSE(reader->Finished());
}

TEST_F(MonitoringThreadTest, EndsAtOnceWhileBlockedInARead) {
  Start();
  peer.Send(Bytes({kFirst}));
  ASSERT_TRUE(received.WaitFor(1));
  // Blocked in a read that nothing will satisfy: ending closes the connection under it.
  const auto begin = std::chrono::steady_clock::now();
  reader.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
  EXPECT_FALSE(client.Connected());
}

TEST_F(MonitoringThreadTest, EndsAtOnceWhileSuspended) {
  const auto begin = std::chrono::steady_clock::now();
  reader->Terminate();
  reader->WaitFor();
  EXPECT_TRUE(reader->Finished());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
}

}  // namespace
}  // namespace lumetra

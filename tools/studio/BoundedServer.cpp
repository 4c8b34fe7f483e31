#include "tools/studio/BoundedServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

namespace studio {
namespace {

using Clock = std::chrono::steady_clock;

// How long a refused connection is read and dropped before it is closed.
constexpr std::chrono::seconds kLinger{2};

// Waits until fd is ready for `events`, or has failed or hung up, before `deadline`.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd wanted{fd, events, 0};
    const int ready = poll(&wanted, 1, static_cast<int>(std::min<long long>(left, 1000)));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// The request as a worker reads it: the bytes that the polling thread read, which hold the whole
// request, and then nothing, so that no worker ever waits for a client. Its answer goes to the
// socket, waiting at most kWriteTimeout for a client that does not read.
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(int fd, std::string& received) : fd_(fd), received_(received) {}

  [[nodiscard]] bool is_readable() const override { return consumed_ < received_.size(); }
  [[nodiscard]] bool is_writable() const override {
    return WaitFor(fd_, POLLOUT, Clock::now() + kWriteTimeout);
  }

  ssize_t read(char* ptr, size_t size) override {
    const std::size_t count = std::min(size, received_.size() - consumed_);
    std::memcpy(ptr, received_.data() + consumed_, count);
    consumed_ += count;
    return static_cast<ssize_t>(count);
  }

  ssize_t write(const char* ptr, size_t size) override {
    const Clock::time_point deadline = Clock::now() + kWriteTimeout;
    std::size_t sent = 0;
    while (sent < size) {
      const ssize_t count = send(fd_, ptr + sent, size - sent, MSG_NOSIGNAL);
      if (count > 0) {
        sent += static_cast<std::size_t>(count);
      } else if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (!WaitFor(fd_, POLLOUT, deadline)) return -1;
      } else {
        return -1;
      }
    }
    return static_cast<ssize_t>(size);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    Address(getpeername, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    Address(getsockname, ip, port);
  }
  [[nodiscard]] socket_t socket() const override { return fd_; }

  // Forgets the bytes that the request took; what follows is the next request's.
  void DropConsumed() { received_.erase(0, consumed_); }

 private:
  void Address(int (*name)(int, sockaddr*, socklen_t*), std::string& ip, int& port) const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    char text[INET_ADDRSTRLEN] = "";
    if (name(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
      port = ntohs(address.sin_port);
    }
    ip = text;
  }

  int fd_;
  std::string& received_;
  std::size_t consumed_ = 0;
};

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// What the bytes of a request's start say about it, as far as they go.
struct Head {
  enum class State { kIncomplete, kTooLarge, kChunked, kComplete } state = State::kIncomplete;
  std::size_t requestSize = 0;   // The request line, headers and the body to wait for.
  bool expectsContinue = false;  // The client sends its body after "100 Continue".
  bool bodyPastLimit = false;    // Refused by httplib without reading it; the connection ends.
};

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") + 1 - first);
}

// Scans the request line and headers as httplib reads them (they end at the first line that is
// "\r\n" alone) and finds how much body to wait for: the first Content-Length, unless it is past
// the body limit. Without one, the body is empty, as HTTP has it.
Head ScanHead(std::string_view bytes, std::size_t largestBody) {
  Head head;
  std::size_t at = 0;
  std::size_t lines = 0;
  std::optional<std::size_t> bodySize;
  for (;;) {
    const std::size_t newline = bytes.find('\n', at);
    if (newline == std::string_view::npos || newline >= kLargestHead) {
      if (bytes.size() >= kLargestHead) head.state = Head::State::kTooLarge;
      return head;
    }
    if (++lines > kMostHeaderLines + 1) {
      head.state = Head::State::kTooLarge;
      return head;
    }
    const std::string_view line = bytes.substr(at, newline + 1 - at);
    at = newline + 1;
    if (lines > 1 && line == "\r\n") break;
    const std::size_t colon = line.find(':');
    if (lines == 1 || colon == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = Trimmed(line.substr(colon + 1));
    if (SameLetters(name, "Content-Length") && !bodySize) {
      // httplib reads the number alike: digits, and nothing for anything else.
      std::size_t size = 0;
      for (const char c : value.substr(0, value.find_first_not_of("0123456789"))) {
        if (size > largestBody) break;
        size = size * 10 + static_cast<std::size_t>(c - '0');
      }
      bodySize = size;
    } else if (SameLetters(name, "Transfer-Encoding")) {
      head.state = Head::State::kChunked;
      return head;
    } else if (SameLetters(name, "Expect")) {
      head.expectsContinue = SameLetters(value, "100-continue");
    }
  }
  head.state = Head::State::kComplete;
  head.requestSize = at;
  if (bodySize && *bodySize > largestBody) {
    head.bodyPastLimit = true;
  } else if (bodySize) {
    head.requestSize += *bodySize;
  }
  return head;
}

const char* ReasonOf(int status) {
  switch (status) {
    case 408:
      return "Request Timeout";
    case 411:
      return "Length Required";
    case 431:
      return "Request Header Fields Too Large";
    default:
      return "Service Unavailable";
  }
}

}  // namespace

struct BoundedServer::Connection {
  int fd = -1;
  std::string received;  // Bytes read and not yet answered.
  std::size_t requests = 0;
  Clock::time_point idleSince = Clock::now();
  std::optional<Clock::time_point> requestStarted;  // The first byte of a request not yet whole.
  bool busy = false;                                // With a worker, which alone touches it then.
  bool keep = false;         // Set by the worker: the connection may carry another request.
  bool peerClosed = false;   // The client sends no more; answer what it sent, then close.
  bool lastRequest = false;  // Its body is left unread, so nothing after it can be told apart.
  bool continued = false;    // "100 Continue" was sent for the request being read.
  // Refused: the answer is sent and the sending side shut, and what the client still sends is
  // read and dropped until then, so that closing does not reset the connection before the client
  // has read why.
  std::optional<Clock::time_point> lingerUntil;
};

BoundedServer::BoundedServer(RefusalBody refusalBody)
    : refusalBody_(std::move(refusalBody)), wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  // Said in each answer's Keep-Alive header.
  set_keep_alive_max_count(kRequestsPerConnection);
  set_keep_alive_timeout(kIdleTimeout.count());
  set_read_timeout(kReadTimeout.count());
  set_write_timeout(kWriteTimeout.count());
}

BoundedServer::~BoundedServer() {
  const socket_t listener = svr_sock_.exchange(INVALID_SOCKET);
  if (listener != INVALID_SOCKET) close(listener);
  for (const auto& connection : connections_) close(connection->fd);
  if (wake_ >= 0) close(wake_);
}

void BoundedServer::Stop() {
  stopping_ = true;
  WakePoller();
}

void BoundedServer::WakePoller() const {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
}

bool BoundedServer::Serve() {
  const socket_t listener = svr_sock_;
  if (listener == INVALID_SOCKET || wake_ < 0) return false;
  fcntl(listener, F_SETFL, fcntl(listener, F_GETFL) | O_NONBLOCK);
  // Listening again only lengthens the queue that httplib made.
  ::listen(listener, kListenQueue);
  for (std::size_t index = 0; index < kWorkers; ++index) workers_.emplace_back([this] { Work(); });

  std::vector<pollfd> polled;
  std::vector<Connection*> polledConnections;
  bool failed = false;
  while (!stopping_ && !failed) {
    TakeFinished();
    CloseExpired();
    RemoveClosed();
    polled.clear();
    polledConnections.clear();
    polled.push_back({wake_, POLLIN, 0});
    const bool anyIdle = std::any_of(connections_.begin(), connections_.end(),
                                     [](const auto& c) { return !c->busy && c->received.empty(); });
    const bool listening = connections_.size() < kMostConnections || anyIdle;
    if (listening) polled.push_back({listener, POLLIN, 0});
    for (const auto& connection : connections_) {
      if (connection->busy || connection->peerClosed) continue;
      polled.push_back({connection->fd, POLLIN, 0});
      polledConnections.push_back(connection.get());
    }
    // Deadlines are checked at least this often.
    constexpr int kLongestWaitMilliseconds = 250;
    if (poll(polled.data(), polled.size(), kLongestWaitMilliseconds) < 0 && errno != EINTR) {
      failed = true;
      continue;
    }
    if (polled[0].revents != 0) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
    }
    const std::size_t first = listening ? 2 : 1;
    for (std::size_t index = 0; index < polledConnections.size(); ++index) {
      if (polled[first + index].revents != 0) Receive(*polledConnections[index]);
    }
    if (listening && polled[1].revents != 0) Accept(listener);
  }

  // The listener first, so that nobody new waits for an answer that will not come.
  const socket_t closing = svr_sock_.exchange(INVALID_SOCKET);
  if (closing != INVALID_SOCKET) close(closing);
  FinishInProgress();
  return !failed;
}

void BoundedServer::FinishInProgress() {
  for (const auto& connection : connections_) {
    if (!connection->busy) Close(*connection);
  }
  const Clock::time_point graceEnds = Clock::now() + kStopGrace;
  bool ended = false;
  for (;;) {
    TakeFinished();
    RemoveClosed();
    if (connections_.empty()) break;
    if (!ended && Clock::now() >= graceEnds) {
      // Whatever a worker waits for on these now fails at once.
      for (const auto& connection : connections_) shutdown(connection->fd, SHUT_RDWR);
      ended = true;
    }
    pollfd wake{wake_, POLLIN, 0};
    poll(&wake, 1, 50);
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(wake_, &count, sizeof count);
  }
  {
    const std::lock_guard lock(mutex_);
    workersEnd_ = true;
  }
  work_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

void BoundedServer::Accept(int listener) {
  for (;;) {
    const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (connections_.size() >= kMostConnections) {
      Connection* oldest = nullptr;
      for (const auto& connection : connections_) {
        if (connection->busy || !connection->received.empty() || connection->fd < 0) continue;
        if (oldest == nullptr || connection->idleSince < oldest->idleSince) {
          oldest = connection.get();
        }
      }
      if (oldest == nullptr) {
        close(fd);
        return;
      }
      Close(*oldest);
      RemoveClosed();
    }
    // An answer goes out in two writes, its head and its body; waiting for the client to
    // acknowledge the first, as Nagle's algorithm would, costs a delayed acknowledgement, 40 ms.
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    connections_.push_back(std::move(connection));
  }
}

void BoundedServer::Receive(Connection& connection) {
  const std::size_t most = kLargestHead + payload_max_length_;
  char buffer[16384];
  if (connection.lingerUntil) {
    ssize_t count = 0;
    while ((count = recv(connection.fd, buffer, sizeof buffer, 0)) > 0) {
    }
    if (count == 0 || (errno != EAGAIN && errno != EINTR)) Close(connection);
    return;
  }
  while (connection.received.size() < most) {
    const ssize_t count =
        recv(connection.fd, buffer, std::min(sizeof buffer, most - connection.received.size()), 0);
    if (count > 0) {
      if (connection.received.empty()) connection.requestStarted = Clock::now();
      connection.received.append(buffer, static_cast<std::size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) connection.peerClosed = true;
      break;
    }
  }
  Examine(connection);
  if (connection.peerClosed && !connection.busy) Close(connection);
}

void BoundedServer::Examine(Connection& connection) {
  if (connection.received.empty() || connection.fd < 0 || connection.lingerUntil) return;
  const Head head = ScanHead(connection.received, payload_max_length_);
  switch (head.state) {
    case Head::State::kIncomplete:
      return;
    case Head::State::kTooLarge:
      Refuse(connection, 431,
             "the request's headers are larger than " + std::to_string(kLargestHead) +
                 " bytes or more than " + std::to_string(kMostHeaderLines) + " lines");
      return;
    case Head::State::kChunked:
      // A body of unknown length could keep a worker waiting; every browser sends the length.
      Refuse(connection, 411, "send the request's body with a Content-Length");
      return;
    case Head::State::kComplete:
      break;
  }
  if (connection.received.size() >= head.requestSize) {
    connection.lastRequest = head.bodyPastLimit;
    Dispatch(connection);
  } else if (head.expectsContinue && !connection.continued) {
    // The client waits for this before it sends the body; httplib says it again when it answers,
    // which a client takes as it takes any interim answer.
    constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
    [[maybe_unused]] const ssize_t sent =
        send(connection.fd, kContinue.data(), kContinue.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    connection.continued = true;
  }
}

void BoundedServer::Refuse(Connection& connection, int status, const std::string& why) {
  const std::string body = refusalBody_(status, why);
  const std::string answer =
      "HTTP/1.1 " + std::to_string(status) + " " + ReasonOf(status) +
      "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
      "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
  // Best effort: a small answer fits the socket's buffer, and the connection ends either way.
  [[maybe_unused]] const ssize_t sent =
      send(connection.fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  Linger(connection);
}

void BoundedServer::Linger(Connection& connection) {
  shutdown(connection.fd, SHUT_WR);
  connection.received.clear();
  connection.requestStarted.reset();
  connection.lingerUntil = Clock::now() + kLinger;
}

void BoundedServer::Dispatch(Connection& connection) {
  connection.busy = true;
  connection.continued = false;
  connection.requestStarted.reset();
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(&connection);
  }
  work_.notify_one();
}

void BoundedServer::TakeFinished() {
  std::deque<Connection*> finished;
  {
    const std::lock_guard lock(mutex_);
    finished.swap(finished_);
  }
  for (Connection* connection : finished) {
    connection->busy = false;
    connection->idleSince = Clock::now();
    if (connection->lastRequest && !stopping_) {
      // The client may still be sending the body that was refused unread.
      Linger(*connection);
      continue;
    }
    if (!connection->keep || stopping_) {
      Close(*connection);
      continue;
    }
    // Bytes of a next request sent before this answer.
    if (!connection->received.empty()) connection->requestStarted = Clock::now();
    Examine(*connection);
    if (connection->peerClosed && !connection->busy) Close(*connection);
  }
}

void BoundedServer::CloseExpired() {
  const Clock::time_point now = Clock::now();
  for (const auto& connection : connections_) {
    if (connection->busy || connection->fd < 0) continue;
    if (connection->lingerUntil) {
      if (now > *connection->lingerUntil) Close(*connection);
    } else if (connection->requestStarted && now - *connection->requestStarted > kReadTimeout) {
      Refuse(*connection, 408,
             "the request did not arrive whole within " + std::to_string(kReadTimeout.count()) +
                 " seconds");
    } else if (connection->received.empty() && now - connection->idleSince > kIdleTimeout) {
      Close(*connection);
    }
  }
}

void BoundedServer::Close(Connection& connection) {
  assert(!connection.busy);
  if (connection.fd >= 0) close(connection.fd);
  connection.fd = -1;
}

void BoundedServer::RemoveClosed() {
  std::erase_if(connections_, [](const auto& connection) { return connection->fd < 0; });
}

void BoundedServer::Work() {
  for (;;) {
    Connection* connection = nullptr;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return !jobs_.empty() || workersEnd_; });
      if (jobs_.empty()) return;
      connection = jobs_.front();
      jobs_.pop_front();
    }
    connection->keep = Answer(*connection);
    {
      const std::lock_guard lock(mutex_);
      finished_.push_back(connection);
    }
    WakePoller();
  }
}

bool BoundedServer::Answer(Connection& connection) {
  ConnectionStream stream(connection.fd, connection.received);
  const bool last = ++connection.requests >= kRequestsPerConnection || connection.peerClosed ||
                    connection.lastRequest || stopping_;
  bool closed = false;
  const bool answered = process_request(stream, last, closed, nullptr);
  stream.DropConsumed();
  return answered && !closed && !last;
}

}  // namespace studio

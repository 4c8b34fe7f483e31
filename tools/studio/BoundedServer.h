#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An httplib::Server with httplib's routes and request handling but connections of its own.
//
// httplib's own loop gives each connection a worker for as long as it stays open: a browser keeps
// six idle connections, so two browsers, or a few clients that send slowly, hold every worker and
// everyone else waits; and its stop waits for all of them. Here one thread waits on every
// connection at once, reads each request whole, and only then hands it to a worker, so a
// connection between requests, or one still sending, holds no worker. Stop closes the listener and
// the idle connections at once and gives requests in progress a short grace.
namespace studio {

// Requests answered at once. The studio's redraws take turns on one simulated host, so more
// workers would only wait for it; four let the page's pictures and files be served during a redraw.
inline constexpr std::size_t kWorkers = 4;

// Connections open at once: two browsers keep six each, with room to spare. Each buffers at most
// one request (kLargestHead plus the body limit), so this also bounds the server's memory. When
// all are taken, the connection idle the longest is closed for a new one; when none is idle, new
// ones wait in the listener's queue until one frees, which takes at most kReadTimeout.
inline constexpr std::size_t kMostConnections = 32;

// Connections not yet accepted. httplib's queue of five drops the sixth of a browser's connections
// made at once, which then waits a second to try again.
inline constexpr int kListenQueue = 64;

// A connection that sends nothing for this long is closed. It holds no worker meanwhile, so it may
// stay open long enough for a page that asks every second to keep using it.
inline constexpr std::chrono::seconds kIdleTimeout{30};

// Requests answered on one connection before it is closed, so that none lives for ever.
inline constexpr std::size_t kRequestsPerConnection = 1000;

// The time a client has to send one whole request, from its first byte: far more than a 2 MiB
// upload takes over loopback, and the longest a slow client keeps a connection slot (never a
// worker). One that takes longer is answered 408 and closed.
inline constexpr std::chrono::seconds kReadTimeout{5};

// The time the answer's writing may wait for a client that does not read it.
inline constexpr std::chrono::seconds kWriteTimeout{5};

// The request line and headers together. A browser sends under 2 KiB, cookies that other local
// pages set for 127.0.0.1 may add a few; past these the request is answered 431 and the connection
// closed, before any of it is parsed.
inline constexpr std::size_t kLargestHead = std::size_t{32} << 10;
inline constexpr std::size_t kMostHeaderLines = 100;

// How long Stop lets requests in progress finish before it ends their connections.
inline constexpr std::chrono::milliseconds kStopGrace{500};

class BoundedServer : public httplib::Server {
 public:
  // The body of an answer that the server gives by itself, before any route sees the request:
  // 408, 431 or 503, with a reason in words. Answers a JSON document.
  using RefusalBody = std::function<std::string(int status, const std::string& why)>;

  explicit BoundedServer(RefusalBody refusalBody);
  ~BoundedServer() override;
  BoundedServer(const BoundedServer&) = delete;
  BoundedServer& operator=(const BoundedServer&) = delete;

  // Serves the socket bound by bind_to_port or bind_to_any_port until Stop; answers false when
  // none is bound or waiting on the connections failed. Blocks. Use these two instead of
  // listen_after_bind and stop.
  bool Serve();

  // Makes Serve close the listener and every idle connection at once, answer the requests in
  // progress within kStopGrace (their connections are ended after it), and return. Callable from
  // any thread, before or during Serve.
  void Stop();

 private:
  struct Connection;

  void Accept(int listener);
  void Receive(Connection& connection);
  void Examine(Connection& connection);
  void Refuse(Connection& connection, int status, const std::string& why);
  void Linger(Connection& connection);
  void TakeFinished();
  void CloseExpired();
  void Dispatch(Connection& connection);
  void Close(Connection& connection);
  void RemoveClosed();
  void Work();
  bool Answer(Connection& connection);
  void WakePoller() const;
  void FinishInProgress();

  RefusalBody refusalBody_;
  std::atomic<bool> stopping_{false};
  int wake_ = -1;  // An eventfd that wakes the polling thread.

  // Owned and touched by the polling thread only, except a connection handed to a worker.
  std::vector<std::unique_ptr<Connection>> connections_;

  std::mutex mutex_;
  std::condition_variable work_;
  std::deque<Connection*> jobs_;      // Requests read whole, waiting for a worker.
  std::deque<Connection*> finished_;  // Answered; back to the polling thread.
  bool workersEnd_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace studio

#pragma once

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Small helpers shared by the studio's tests.
namespace studio::testing {

// A settings file as XML: each entry a key and its value element as written
// ("<string>#FFF</string>", "<true/>", "<integer>5</integer>"), in the order given.
inline std::string XmlSettings(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
  for (const auto& [key, value] : entries) {
    xml.append("<key>").append(key).append("</key>").append(value).append("\n");
  }
  return xml + "</dict>\n</plist>\n";
}

inline std::string String(const std::string& text) {
  return "<string>" + text + "</string>";
}

// A client that connects to 127.0.0.1 at `port`, sends `bytes` as they are, and then does no
// more than the test asks: for idle, slow and misbehaving clients.
class RawClient {
 public:
  RawClient(int port, std::string_view bytes) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
  }
  ~RawClient() { close(fd_); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  [[nodiscard]] bool Connected() const { return connected_; }

  // The server's first answer, or nothing when none comes within `seconds`.
  std::string Answer(int seconds) {
    pollfd wanted{fd_, POLLIN, 0};
    char buffer[4096];
    const ssize_t count = poll(&wanted, 1, seconds * 1000) > 0 ? recv(fd_, buffer, 4096, 0) : 0;
    return {buffer, count > 0 ? static_cast<std::size_t>(count) : 0};
  }

 private:
  int fd_;
  bool connected_ = false;
};

}  // namespace studio::testing

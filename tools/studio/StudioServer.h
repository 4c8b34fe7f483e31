#pragma once

#include <atomic>
#include <memory>

#include "tools/studio/StudioSession.h"

namespace studio {
class BoundedServer;
}

// The studio's HTTP server, on 127.0.0.1 only. Routes:
//
//   GET   /                                 the page (index.html), and its files by name
//   GET   /api/state                        the state, as StateJson writes it
//   GET   /api/version                      {"version": 7}: what the page asks every second, to
//                                           learn of changes made in another tab or browser
//   PATCH /api/settings?version=N           changes the keys the JSON body names; the new state
//   PUT   /api/settings?version=N           replaces every setting with the body's; the new state
//   POST  /api/open?version=N               a settings file as the body (XML or binary, sent as
//                                           application/octet-stream) replaces the settings;
//                                           the new state with "opened": {"findings", "notes"}
//   GET   /api/download?format=xml|binary   the settings file the device reads, as a download
//                                           named by its form (kXmlDownloadName,
//                                           kBinaryDownloadName)
//   GET   /api/presets                      the presets, as PresetsJson writes them
//   GET   /api/screens/N/stock.png          screen N drawn without the library
//   GET   /api/screens/N/themed.png         screen N as last drawn with the settings
//
// A change says the version it was made on: the "version" of the state its page showed. One made
// on any other version is refused with 409 and the current state, with "error" beside it, so that
// no page undoes a change it has not seen; the page then shows the current state.
//
// Every other error is JSON, {"error": "why", "key": "Text" | null}: 400 for a request the studio
// refuses (bad JSON or another content type than the route's, an unknown key, a value that names
// no colour, a file that is no settings, a body past the size limit, a change without a version),
// 403 for a Host header other than this server's own address (a page of another site reaching it
// by a rebound name) and for a change whose Origin is another site's, 404 for a path it does not
// serve, 408, 411 and 431 for requests that BoundedServer refuses before any route sees them, 500
// for a failure of its own. The server goes on serving after each.
namespace studio {

// The largest request body read: twice the library's settings-file limit, so that a settings
// file just past that limit still gets the library's own reason.
inline constexpr std::size_t kLargestRequestBody = std::size_t{2} << 20;

// Both downloads are files for the device, which reads either form under the XML one's name; the
// binary one is named apart so that downloading both keeps both.
inline constexpr const char* kXmlDownloadName = "com.marrowquinte.Umbravista.plist";
inline constexpr const char* kBinaryDownloadName = "com.marrowquinte.Umbravista.binary.plist";

class StudioServer {
 public:
  // Routes to `session`, which must outlive the server.
  explicit StudioServer(StudioSession& session);
  ~StudioServer();
  StudioServer(const StudioServer&) = delete;
  StudioServer& operator=(const StudioServer&) = delete;

  // Binds to 127.0.0.1 at `port`, or at a free port for 0, and answers the port. Raises
  // std::runtime_error when it cannot bind.
  int Bind(int port);

  // Serves on the bound port until Stop; answers false when it could not serve at all. Blocks.
  bool Serve();

  // Makes Serve return at once, after at most a short grace for the requests in progress (see
  // BoundedServer::Stop); callable from any thread.
  void Stop();

 private:
  void Route();

  StudioSession& session_;
  std::unique_ptr<BoundedServer> server_;
  std::atomic<int> port_{0};
};

}  // namespace studio

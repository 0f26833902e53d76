#include "platform/Http.h"

#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <signal.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;
using platform::FetchFile;
using platform::FetchOptions;
using platform::FetchText;

namespace {

// A temporary folder for downloads, removed afterwards.
class DownloadFolder {
public:
    DownloadFolder() {
        std::string pattern = (fs::temp_directory_path() / "kw-http-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~DownloadFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Names of everything in the folder.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
        return names;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string path_;
};

std::string Body(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
    return body;
}

// Requests for "/hopN" answer with a redirect to "/hop(N+1)" up to `hops`, then the body "end".
LoopbackServer::Reply Redirects(const std::string& request, int hops) {
    const auto at = request.find("/hop");
    const int n = at == std::string::npos ? 0 : std::atoi(request.c_str() + at + 4);
    if (n >= hops) return LoopbackServer::Ok("end");
    return LoopbackServer::Status(302, "Found", "Location: /hop" + std::to_string(n + 1) + "\r\n");
}

FetchOptions Stalling(const std::atomic<bool>* keepGoing = nullptr) {
    FetchOptions options;
    options.stallSeconds = 1;
    options.keepGoing = keepGoing;
    return options;
}

}  // namespace

TEST(Http, TextRequestCarriesAgentAcceptAndCacheBypassHeaders) {
    LoopbackServer server([](const std::string&) { return LoopbackServer::Ok("1.2.3"); });
    std::string text;
    ASSERT_EQ(FetchText(server.Url("/fw/version"), text), platform::kFetchCompleted);
    EXPECT_EQ(text, "1.2.3");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& head = requests[0];
    EXPECT_EQ(head.rfind("GET /fw/version HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: IIC2.0/PC 5.5.0000\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nAccept: */*\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nCache-Control: no-cache\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nPragma: no-cache\r\n"), std::string::npos) << head;
}

TEST(Http, ErrorStatusesFailInsteadOfDeliveringTheErrorPage) {
    for (const int code : {404, 500}) {
        LoopbackServer server([code](const std::string&) { return LoopbackServer::Status(code, "Error page"); });
        std::string text = "old";
        EXPECT_EQ(FetchText(server.Url("/version"), text), platform::kFetchFailed) << code;
        EXPECT_EQ(text, "") << code;

        DownloadFolder dir;
        std::ofstream(dir / "a.zip") << "stale";
        EXPECT_EQ(FetchFile(server.Url("/a.zip"), dir / "a.zip", nullptr), platform::kFetchFailed) << code;
        EXPECT_TRUE(dir.Names().empty()) << code << ": the stale file and any partial one are gone";
    }
}

TEST(Http, RefusedUnresolvableAndNonHttpAddressesFail) {
    int closedPort = 0;
    {
        LoopbackServer gone([](const std::string&) { return LoopbackServer::Ok(""); });
        closedPort = gone.Port();
    }
    std::string text;
    EXPECT_EQ(FetchText("http://127.0.0.1:" + std::to_string(closedPort) + "/version", text, Stalling()),
              platform::kFetchFailed);
    EXPECT_EQ(FetchText("http://no-such-host.invalid/version", text, Stalling()), platform::kFetchFailed);
    EXPECT_EQ(FetchText("https://Update.Keywright.INVALID./v", text, Stalling()), platform::kFetchFailed);
    EXPECT_EQ(FetchText("file:///etc/hostname", text), platform::kFetchFailed);
    EXPECT_EQ(FetchText("not a url", text), platform::kFetchFailed);
    EXPECT_EQ(text, "");
}

TEST(Http, TlsHandshakeWithAPlainServerFails) {
    LoopbackServer server([](const std::string&) { return LoopbackServer::Ok("1.0"); });
    std::string text;
    const std::string url = "https://127.0.0.1:" + std::to_string(server.Port()) + "/version";
    EXPECT_EQ(FetchText(url, text, Stalling()), platform::kFetchFailed);
    EXPECT_EQ(text, "");
}

// A TLS server with a certificate no authority signed: the peer check must refuse it.
TEST(Http, HttpsRefusesAServerTheSystemCertificatesDoNotVouchFor) {
    DownloadFolder dir;
    const std::string makeCert = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                                 "-addext subjectAltName=IP:127.0.0.1 -keyout '" + (dir / "key.pem") + "' -out '" +
                                 (dir / "cert.pem") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(makeCert.c_str()), 0);
    std::ofstream(dir / "version") << "9.9";
    std::ofstream(dir / "serve.py") << "import http.server, os, ssl, sys, threading, functools\n"
                                       "h = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])\n"
                                       "s = http.server.HTTPServer(('127.0.0.1', 0), h)\n"
                                       "c = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
                                       "c.load_cert_chain(sys.argv[1] + '/cert.pem', sys.argv[1] + '/key.pem')\n"
                                       "s.socket = c.wrap_socket(s.socket, server_side=True)\n"
                                       "threading.Timer(20, s.shutdown).start()\n"
                                       "print(s.server_address[1], os.getpid(), flush=True)\n"
                                       "s.serve_forever()\n";
    std::FILE* server = ::popen(("exec python3 '" + (dir / "serve.py") + "' '" + (dir / "") + "' 2>/dev/null").c_str(), "r");
    ASSERT_NE(server, nullptr);
    int port = 0;
    int pid = 0;
    const bool started = std::fscanf(server, "%d %d", &port, &pid) == 2;
    std::string text;
    const int result = started ? FetchText("https://127.0.0.1:" + std::to_string(port) + "/version", text, Stalling())
                               : platform::kFetchCompleted;
    if (started) ::kill(pid, SIGTERM);
    ::pclose(server);
    ASSERT_TRUE(started);
    EXPECT_EQ(result, platform::kFetchFailed);
    EXPECT_EQ(text, "");
}

TEST(Http, FollowsFiveRedirectsButNotSixOrALoop) {
    LoopbackServer five([](const std::string& r) { return Redirects(r, 5); });
    std::string text;
    EXPECT_EQ(FetchText(five.Url("/hop0"), text), platform::kFetchCompleted);
    EXPECT_EQ(text, "end");

    LoopbackServer six([](const std::string& r) { return Redirects(r, 6); });
    EXPECT_EQ(FetchText(six.Url("/hop0"), text), platform::kFetchFailed);

    LoopbackServer loop([](const std::string&) {
        return LoopbackServer::Status(301, "Moved", "Location: /again\r\n");
    });
    DownloadFolder dir;
    EXPECT_EQ(FetchFile(loop.Url("/again"), dir / "a.zip", nullptr), platform::kFetchFailed);
    EXPECT_TRUE(dir.Names().empty());
    EXPECT_LE(loop.Requests().size(), 6u);

    // A redirect may not leave http and https.
    LoopbackServer toFile([](const std::string&) {
        return LoopbackServer::Status(302, "Found", "Location: file:///etc/hostname\r\n");
    });
    EXPECT_EQ(FetchText(toFile.Url("/version"), text), platform::kFetchFailed);
}

TEST(Http, AStalledBodyTimesOutAndLeavesNoFile) {
    LoopbackServer server([](const std::string&) { return LoopbackServer::HalfThenSilence(Body(50000)); });
    DownloadFolder dir;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FetchFile(server.Url("/a.zip"), dir / "a.zip", nullptr, Stalling()), platform::kFetchFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << "about the stall time";
    EXPECT_TRUE(dir.Names().empty());

    std::string text;
    EXPECT_EQ(FetchText(server.Url("/version"), text, Stalling()), platform::kFetchFailed);
    EXPECT_EQ(text, "");
}

TEST(Http, ClearingTheKeepGoingFlagStopsATransfer) {
    LoopbackServer server([](const std::string&) { return LoopbackServer::HalfThenSilence(Body(50000)); });
    std::atomic<bool> keepGoing{true};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        keepGoing = false;
    });
    DownloadFolder dir;
    FetchOptions options;  // the stall time alone would take 30 s
    options.keepGoing = &keepGoing;
    EXPECT_EQ(FetchFile(server.Url("/a.zip"), dir / "a.zip", nullptr, options), platform::kFetchStopped);
    stopper.join();
    EXPECT_TRUE(dir.Names().empty());

    std::string text;
    EXPECT_EQ(FetchText(server.Url("/version"), text, options), platform::kFetchStopped);
    EXPECT_EQ(text, "");
}

TEST(Http, BodyBeyondOrShortOfItsLengthKeepsOnlyWhatWasDeclared) {
    LoopbackServer longer([](const std::string&) {
        LoopbackServer::Reply reply = LoopbackServer::Ok("0123456789");
        reply.bytes += "EXTRA BYTES THE HEADER DID NOT DECLARE";
        return reply;
    });
    DownloadFolder dir;
    std::vector<int> progress;
    ASSERT_EQ(FetchFile(longer.Url("/a.zip"), dir / "a.zip", [&](int p) { progress.push_back(p); }),
              platform::kFetchCompleted);
    EXPECT_EQ(dir.Read("a.zip"), "0123456789");
    EXPECT_EQ(progress.back(), 100);

    LoopbackServer shorter([](const std::string&) {
        return LoopbackServer::Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nonly this"};
    });
    EXPECT_EQ(FetchFile(shorter.Url("/a.zip"), dir / "b.zip", nullptr), platform::kFetchFailed);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.zip"});
}

TEST(Http, TextStopsAtItsLimit) {
    const std::string atLimit = Body(platform::kFetchTextLimit);
    LoopbackServer exact([&](const std::string&) { return LoopbackServer::Ok(atLimit); });
    std::string text;
    EXPECT_EQ(FetchText(exact.Url("/version"), text), platform::kFetchCompleted);
    EXPECT_EQ(text, atLimit);

    // Without a length the server could go on for ever.
    LoopbackServer endless([&](const std::string&) {
        return LoopbackServer::Reply{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + atLimit + "x"};
    });
    EXPECT_EQ(FetchText(endless.Url("/version"), text), platform::kFetchFailed);
    EXPECT_EQ(text, "");
}

TEST(Http, FileProgressRisesFromZeroToHundredInOrder) {
    const std::string body = Body(40 * platform::kFetchPieceBytes + 123);
    LoopbackServer server([&](const std::string&) { return LoopbackServer::Ok(body); });
    DownloadFolder dir;
    std::ofstream(dir / "a.zip") << "an older archive";
    std::vector<int> progress;
    ASSERT_EQ(FetchFile(server.Url("/a.zip"), dir / "a.zip", [&](int p) { progress.push_back(p); }),
              platform::kFetchCompleted);
    EXPECT_EQ(dir.Read("a.zip"), body);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"a.zip"});
    ASSERT_GE(progress.size(), 6u);
    EXPECT_EQ(std::vector<int>(progress.begin(), progress.begin() + 4), (std::vector<int>{0, 2, 8, 10}));
    EXPECT_EQ(progress.back(), 100);
    for (std::size_t i = 1; i < progress.size(); ++i) EXPECT_LT(progress[i - 1], progress[i]) << i;
    EXPECT_GT(progress.size(), 6u) << "values between 10 and 100 while the body arrives";
}

TEST(Http, FileWithoutLengthOrBodyStillCompletes) {
    LoopbackServer unsized([](const std::string&) {
        return LoopbackServer::Reply{"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + Body(30000)};
    });
    DownloadFolder dir;
    std::vector<int> progress;
    ASSERT_EQ(FetchFile(unsized.Url("/a.zip"), dir / "a.zip", [&](int p) { progress.push_back(p); }),
              platform::kFetchCompleted);
    EXPECT_EQ(dir.Read("a.zip"), Body(30000));
    EXPECT_EQ(progress, (std::vector<int>{0, 2, 8, 10, 100}));

    LoopbackServer empty([](const std::string&) { return LoopbackServer::Ok(""); });
    progress.clear();
    ASSERT_EQ(FetchFile(empty.Url("/e.zip"), dir / "e.zip", [&](int p) { progress.push_back(p); }),
              platform::kFetchCompleted);
    EXPECT_TRUE(fs::is_regular_file(dir / "e.zip"));
    EXPECT_EQ(fs::file_size(dir / "e.zip"), 0u);
    EXPECT_EQ(progress, (std::vector<int>{0, 2, 8, 10, 100}));
}

// CallCosts: what the calls on the host's per-unit path cost under this system, one by one:
// the peer's address, the reverse lookup of a log line, the debug output, a 4-byte send.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

double g_tick = 0;

double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * g_tick;
}

template <typename F>
void Time(const char* what, int count, F f)
{
    double start = Now();
    for (int i = 0; i < count; ++i)
        f(i);
    double each = (Now() - start) / count;
    std::printf("%-40s %10.1f us\n", what, each * 1e6);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (count <= 0 || count > 1000000)
        count = 1000;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_tick = 1.0 / static_cast<double>(frequency.QuadPart);

    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return 3;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = inet_addr("127.0.0.1");
    bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof(local));
    listen(listener, 1);
    int length = sizeof(local);
    getsockname(listener, reinterpret_cast<sockaddr*>(&local), &length);
    SOCKET client = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(client, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0)
        return 4;
    SOCKET server = accept(listener, nullptr, nullptr);
    if (server == INVALID_SOCKET)
        return 5;

    std::printf("%d calls each (microseconds per call)\n", count);
    Time("getpeername + inet_ntoa", count, [&](int) {
        sockaddr_in peer = {};
        int size = sizeof(peer);
        getpeername(server, reinterpret_cast<sockaddr*>(&peer), &size);
        inet_ntoa(peer.sin_addr);
    });
    unsigned char loopback[4] = {127, 0, 0, 1};
    Time("gethostbyaddr 127.0.0.1", count,
         [&](int) { gethostbyaddr(reinterpret_cast<const char*>(loopback), 4, AF_INET); });
    Time("OutputDebugStringA (one log line)", count,
         [&](int) { OutputDebugStringA("TelvaneHost status 0: Received ping from localhost on port 40000\n"); });
    char unit[4] = {0x69, 0x04, 0, 0};
    Time("send 4 bytes", count, [&](int) { send(server, unit, 4, 0); });
    char sink[4096];
    int drained = 0;
    for (int guard = 0; guard < count && drained < 4 * count; ++guard) {
        int got = recv(client, sink, sizeof(sink), 0);
        if (got <= 0)
            break;
        drained += got;
    }
    BOOL on = TRUE;
    setsockopt(server, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<char*>(&on), sizeof(on));
    Time("send 4 bytes, TCP_NODELAY", count, [&](int) { send(server, unit, 4, 0); });
    char eight[8] = {0x69, 0x04, 0, 0, (char)0xCA, 0x04, 0, 0};
    Time("send 8 bytes, TCP_NODELAY", count, [&](int) { send(server, eight, 8, 0); });
    closesocket(client);
    closesocket(server);
    closesocket(listener);
    WSACleanup();
    return 0;
}

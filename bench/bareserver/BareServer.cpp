// BareServer: the baseline of the host benchmarks. It does nothing but accept connections
// and send the bytes the host would send: a ping is answered with Ping and the line state,
// a phone toggle goes to every connection. No log, no lookup, no dialling.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const UINT kSocketMessage = WM_APP + 1;
const int kPing = 1129;
const int kPhoneToggle = 1128;
const int kLineOffLine = 1226;
const int kLinePhoneInUse = 1228;

struct Connection {
    SOCKET socket;
    unsigned char unit[4];
    int have;
};

SOCKET g_listener = INVALID_SOCKET;
std::vector<Connection> g_connections;
bool g_phoneInUse = false;

void Put(unsigned char* out, int code)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(static_cast<unsigned>(code) >> (8 * i));
}

int Get(const unsigned char* in)
{
    unsigned value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<unsigned>(in[i]) << (8 * i);
    return static_cast<int>(value);
}

Connection* Find(SOCKET s)
{
    for (Connection& c : g_connections)
        if (c.socket == s)
            return &c;
    return nullptr;
}

void Handle(Connection& from, int code)
{
    unsigned char out[8];
    if (code == kPing) {
        Put(out, kPing);
        Put(out + 4, g_phoneInUse ? kLinePhoneInUse : kLineOffLine);
        send(from.socket, reinterpret_cast<char*>(out), 8, 0);
    } else if (code == kPhoneToggle) {
        Put(out, g_phoneInUse ? kLineOffLine : kLinePhoneInUse);
        g_phoneInUse = !g_phoneInUse;
        for (const Connection& c : g_connections)
            send(c.socket, reinterpret_cast<char*>(out), 4, 0);
    }
}

void OnAccept(HWND hwnd)
{
    SOCKET s = accept(g_listener, nullptr, nullptr);
    if (s == INVALID_SOCKET)
        return;
    BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<char*>(&on), sizeof(on));
    WSAAsyncSelect(s, hwnd, kSocketMessage, FD_READ | FD_CLOSE);
    g_connections.push_back(Connection{s, {}, 0});
}

void OnRead(SOCKET s)
{
    // Like the host: one read of what the current unit still misses per notification.
    Connection* c = Find(s);
    if (c == nullptr)
        return;
    int got = recv(s, reinterpret_cast<char*>(c->unit + c->have), 4 - c->have, 0);
    if (got <= 0)
        return;
    c->have += got;
    if (c->have == 4) {
        c->have = 0;
        Handle(*c, Get(c->unit));
    }
}

void OnClose(SOCKET s)
{
    closesocket(s);
    g_connections.erase(
        std::remove_if(g_connections.begin(), g_connections.end(), [s](const Connection& c) { return c.socket == s; }),
        g_connections.end());
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kSocketMessage)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    SOCKET s = static_cast<SOCKET>(wParam);
    switch (WSAGETSELECTEVENT(lParam)) {
    case FD_ACCEPT:
        OnAccept(hwnd);
        break;
    case FD_READ:
        OnRead(s);
        break;
    case FD_CLOSE:
        OnClose(s);
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    int port = std::atoi(commandLine);
    if (port <= 0 || port > 65535)
        return 2;
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0)
        return 3;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TelvaneBareServer";
    RegisterClassA(&wc);
    // A hidden top-level window: message-only windows do not exist before Windows 2000.
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr)
        return 4;

    g_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(g_listener, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR)
        return 5;
    WSAAsyncSelect(g_listener, hwnd, kSocketMessage, FD_ACCEPT);
    listen(g_listener, 5);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    WSACleanup();
    return 0;
}

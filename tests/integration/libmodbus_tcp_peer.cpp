// A Modbus TCP slave built on libmodbus alone, on a free port of 127.0.0.1,
// for the Windows build's network line under Wine (scripts/test-windows.sh):
// a peer written without RegScope, as network_peer_test has on Linux.
// Holding register i holds 1000 + i (100 of them). Prints "port N" once it
// listens and serves one connection after another until it is killed.
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <modbus.h>
#include <netinet/in.h>
#include <sys/socket.h>

int main()
{
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", 0);
    modbus_mapping_t* map = modbus_mapping_new(100, 100, 100, 100);
    if (!ctx || !map)
        return 1;
    for (int i = 0; i < 100; ++i)
        map->tab_registers[i] = uint16_t(1000 + i);
    int listen = modbus_tcp_listen(ctx, 1);
    sockaddr_in at{};
    socklen_t len = sizeof at;
    if (listen < 0 || getsockname(listen, reinterpret_cast<sockaddr*>(&at), &len) != 0)
        return 1;
    std::printf("port %d\n", ntohs(at.sin_port));
    std::fflush(stdout);
    for (;;) {
        if (modbus_tcp_accept(ctx, &listen) < 0)
            return 1;
        uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
        for (;;) {
            const int n = modbus_receive(ctx, query);
            if (n > 0)
                modbus_reply(ctx, query, n, map);
            else if (n < 0)
                break; // the client went: wait for the next one
        }
        modbus_close(ctx);
    }
}

// Is the network usable right now? (module JianCeWangLuo)
//
// The answer combines the system's own idea of being online with ICMP echo
// requests to a short list of addresses, tried in order until one answers.
// Everything is synchronous: one check can block for five echo timeouts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "build_config.h"
#include "clock/support/settings_file.h"

namespace tockly {

// The system's own idea of being online (the connection state of the
// platform's internet functions).
class ConnectionState {
public:
    virtual ~ConnectionState() = default;
    virtual bool online() = 0;
};

// One ICMP echo request, with the socket library started around it.
class EchoService {
public:
    virtual ~EchoService() = default;
    // False when the socket library (version 1.1) does not start.
    virtual bool start_sockets() = 0;
    virtual void stop_sockets() = 0;
    // The platform's dotted-address conversion; nothing for a text it rejects.
    virtual std::optional<std::uint32_t> address_of(std::string_view dotted) = 0;
    // Sends one echo request with this payload and waits up to timeout_ms;
    // returns the status of the reply (0 when the address answered).
    virtual std::int32_t echo(std::uint32_t address, std::string_view payload, int timeout_ms) = 0;
};

namespace network {
inline constexpr std::string_view echo_payload = "tanaya";
inline constexpr int echo_timeout_ms = 500;
inline constexpr std::int32_t status_bad_address = -1;
inline constexpr std::int32_t status_success = 0;
inline constexpr std::int32_t status_timeout = 500;
inline constexpr int gateway_attempts = 3;
}  // namespace network

// The built-in addresses are build constants: loopback in every build that
// runs on the build machines, the real ones only in the release build.
struct BuiltInAddresses {
    std::string gateway = TOCKLY_GATEWAY_ADDR;
    std::string fallback = TOCKLY_PUBLIC_ADDR1;  // when IPtoping is empty
    std::string second = TOCKLY_PUBLIC_ADDR2;
};

struct NetworkPorts {
    ConnectionState& connection;
    EchoService& echo;
    SettingsAccess settings;
    std::string settings_path;  // program_folder & "Software_information.ini"
    BuiltInAddresses addresses{};
};

// The five addresses in the order they are tried: the gateway three times,
// the trimmed IPtoping (or the built-in fallback), the second public address.
// The settings file is read on every call.
std::vector<std::string> ping_addresses(const NetworkPorts& ports);

// True when the system reports a connection and one address of the list
// answered. `Connected` receives the system's connection state.
bool CheckNetwork(const NetworkPorts& ports, bool& Connected);

bool IsConnected(ConnectionState& connection);

// One ping with the socket library started and released around it.
bool PingAddress(EchoService& echo, std::string_view Address);

// The raw echo request: -1 for a text that is no dotted address, else the
// status of the reply.
std::int32_t SendEcho(EchoService& echo, std::string_view Address, std::string_view Payload);

// "inet_addr: bad IP format", "ip success", "ping timeout" or empty text.
std::string PingStatusText(std::int32_t status);

}  // namespace tockly

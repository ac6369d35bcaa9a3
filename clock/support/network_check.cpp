#include "clock/support/network_check.h"

#include "clock/support/settings_keys.h"

namespace tockly {

std::vector<std::string> ping_addresses(const NetworkPorts& ports) {
    std::vector<std::string> list(network::gateway_attempts, ports.addresses.gateway);
    std::string chosen = trim_spaces(
        read_setting(ports.settings, ini::pingipname::section, ini::pingipname::IPtoping, ports.settings_path));
    list.push_back(chosen.empty() ? ports.addresses.fallback : chosen);
    list.push_back(ports.addresses.second);
    return list;
}

bool CheckNetwork(const NetworkPorts& ports, bool& Connected) {
    const std::vector<std::string> addresses = ping_addresses(ports);
    if (!IsConnected(ports.connection)) {
        Connected = false;
        return false;
    }
    Connected = true;
    for (const std::string& address : addresses) {
        if (PingAddress(ports.echo, address)) return true;
    }
    return false;
}

bool IsConnected(ConnectionState& connection) {
    try {
        return connection.online();
    } catch (...) {
        return false;
    }
}

bool PingAddress(EchoService& echo, std::string_view Address) {
    bool answered = false;
    try {
        if (!echo.start_sockets()) return false;
    } catch (...) {
        return false;
    }
    try {
        const std::int32_t status = SendEcho(echo, trim_spaces(Address), network::echo_payload);
        answered = PingStatusText(status).find("success") != std::string::npos;
    } catch (...) {
        answered = false;
    }
    echo.stop_sockets();
    return answered;
}

std::int32_t SendEcho(EchoService& echo, std::string_view Address, std::string_view Payload) {
    try {
        const auto address = echo.address_of(Address);
        if (!address) return network::status_bad_address;
        return echo.echo(*address, Payload, network::echo_timeout_ms);
    } catch (...) {
        return network::status_bad_address;
    }
}

std::string PingStatusText(std::int32_t status) {
    switch (status) {
    case network::status_bad_address: return "inet_addr: bad IP format";
    case network::status_success: return "ip success";
    case network::status_timeout: return "ping timeout";
    default: return {};
    }
}

}  // namespace tockly

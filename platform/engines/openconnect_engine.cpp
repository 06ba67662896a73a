// The bundle's OpenConnect engine: libopenconnect driven over the client's two
// loopback command channels instead of a terminal. Questions (credentials, an
// untrusted server certificate) go to the client; the network is configured by the
// client when the vpnc-script hands it the environment over cmd_fd.
#include "CommandChannel.h"
#include "OpenConnectEngineOptions.h"

extern "C" {
#include <openconnect.h>
}

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using engines::CommandChannel;
using engines::OpenConnectEngineOptions;

struct Engine
{
    OpenConnectEngineOptions options;
    std::unique_ptr<CommandChannel> channel;
    openconnect_info *vpn = nullptr;
    int commandPipe = -1;
    // Reads the client's commands while the library runs; joined before the
    // library and the channel it uses are freed.
    std::thread forwarder;
};

Engine engine;

std::string oneLine(std::string text)
{
    for (char &c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

void reportError(const std::string &message)
{
    engine.channel->sendProgress(">VYXERR " + oneLine(message));
}

void progress(void *, int level, const char *format, ...) __attribute__((format(printf, 3, 4)));
void progress(void *, int level, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    char *text = nullptr;
    const int length = vasprintf(&text, format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    const std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    if (level <= PRG_INFO)
        engine.channel->sendProgress(text);
    else if (engine.options.verbose)
        std::cerr << text;
}

int validatePeerCertificate(void *, const char *reason)
{
    const char *hash = openconnect_get_peer_cert_hash(engine.vpn);
    engine.channel->sendProgress(std::string("--servercert ") + (hash ? hash : ""));
    engine.channel->sendLine(">REQUEST_TO_TRUST_CERTIFICATE " + oneLine(reason ? reason : ""));
    return engine.channel->readAnswer() == "yes" ? 0 : 1;
}

// Fills the credential fields of a login form with the client's answers.
int processAuthForm(void *, oc_auth_form *form)
{
    for (oc_form_opt *option = form->opts; option; option = option->next) {
        if (option->flags & OC_FORM_OPT_IGNORE)
            continue;
        const char *request = nullptr;
        if (option->type == OC_FORM_OPT_TEXT)
            request = ">REQUEST_USERNAME";
        else if (option->type == OC_FORM_OPT_PASSWORD)
            request = ">REQUEST_PASSWORD";
        else if (option->type == OC_FORM_OPT_SELECT || option->type == OC_FORM_OPT_HIDDEN)
            continue; // the server's default choice stands
        else {
            reportError("The server asks for a kind of login this client does not support.");
            return OC_FORM_RESULT_ERR;
        }
        engine.channel->sendLine(request);
        const std::string answer = engine.channel->readAnswer();
        if (answer.empty())
            return OC_FORM_RESULT_CANCELLED;
        openconnect_set_option_value(option, answer.c_str());
    }
    return OC_FORM_RESULT_OK;
}

void reportStatistics(void *, const oc_stats *stats)
{
    // Received first, then sent: the order of OpenVPN's byte counts.
    engine.channel->sendProgress(">VYXSTATS " + std::to_string(stats->rx_bytes) + ","
                                 + std::to_string(stats->tx_bytes));
}

void forwardCommands()
{
    for (;;) {
        const char command = engine.channel->readCommand();
        const char libraryCommand = command == 's' ? OC_CMD_STATS : OC_CMD_CANCEL;
        if (libraryCommand == OC_CMD_CANCEL)
            engine.channel->cancelAnswers(); // a question in flight will not be answered now
        if (::write(engine.commandPipe, &libraryCommand, 1) != 1 || libraryCommand == OC_CMD_CANCEL)
            return;
    }
}

void reportAddresses()
{
    const oc_ip_info *info = nullptr;
    if (openconnect_get_ip_info(engine.vpn, &info, nullptr, nullptr) != 0 || !info)
        return;
    if (info->gateway_addr)
        engine.channel->sendProgress(std::string(">REMOTEIP ") + info->gateway_addr);
    if (info->addr)
        engine.channel->sendProgress(std::string("Connected as ") + info->addr + ", using SSL");
    engine.channel->sendProgress(">DNS_UP INIT");
    for (int i = 0; i < 3; ++i) {
        const char *server = info->dns[i];
        engine.channel->sendProgress(">DNS_" + std::to_string(i) + "_UP " + (server ? server : "n/a"));
    }
    engine.channel->sendProgress(">DNS_UP END");
}

int connectAndRun()
{
    engine.vpn =
        openconnect_vpninfo_new("OrvalVPN", validatePeerCertificate, nullptr, processAuthForm, progress, nullptr);
    if (!engine.vpn) {
        reportError("Failed to initialise the VPN engine.");
        return 1;
    }
    openconnect_set_loglevel(engine.vpn, engine.options.verbose ? PRG_DEBUG : PRG_INFO);
    openconnect_set_stats_handler(engine.vpn, reportStatistics);
    engine.commandPipe = openconnect_setup_cmd_pipe(engine.vpn);
    if (openconnect_parse_url(engine.vpn, engine.options.server.c_str()) != 0) {
        reportError("Invalid server address: " + engine.options.server);
        return 1;
    }
    if (engine.options.disableDtls)
        openconnect_disable_dtls(engine.vpn);
    engine.forwarder = std::thread(forwardCommands);

    if (openconnect_obtain_cookie(engine.vpn) != 0)
        return 1; // refused or cancelled: the library and the client have said why
    if (openconnect_make_cstp_connection(engine.vpn) != 0) {
        reportError("Failed to establish the VPN connection.");
        return 1;
    }
    if (!engine.options.disableDtls)
        openconnect_setup_dtls(engine.vpn, 60);

    // The vpnc-script answers the client over cmd_fd, which it inherits.
    setenv("VYX_CMD_FD", std::to_string(engine.channel->commandFd()).c_str(), 1);
    if (openconnect_setup_tun_device(engine.vpn, engine.options.script.c_str(), nullptr) != 0) {
        reportError("Failed to set up the tunnel network.");
        return 1;
    }
    reportAddresses();

    constexpr int reconnectIntervalSeconds = 10;
    const int result = openconnect_mainloop(engine.vpn, engine.options.reconnectTimeout, reconnectIntervalSeconds);
    if (result == -EINTR)
        return 0; // stopped by the client
    reportError("The VPN connection ended unexpectedly.");
    return 1;
}

void stopForwardingCommands()
{
    if (!engine.forwarder.joinable())
        return;
    engine.channel->endCommands();
    engine.forwarder.join();
}

} // namespace

int main(int argc, char *argv[])
{
    try {
        engine.options = OpenConnectEngineOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
        const std::string secret = CommandChannel::secretFromEnvironment();
        if (secret.empty())
            throw std::runtime_error("no channel secret in the environment: start the engine through the helper");
        engine.channel =
            std::make_unique<CommandChannel>(engine.options.commandPort, engine.options.commandWritePort, secret);
    } catch (const std::exception &e) {
        std::cerr << "openconnect: " << e.what() << std::endl;
        return 2;
    }
    openconnect_init_ssl();
    const int status = connectAndRun();
    stopForwardingCommands();
    if (engine.vpn)
        openconnect_vpninfo_free(engine.vpn); // runs the vpnc-script's disconnect step
    return status;
}

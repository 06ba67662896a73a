<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Hand-written texts the code looks up by key (start-up stages, product name)
     and hand-made overrides of form texts. Entries must be finished (no
     type="unfinished"); an empty finished translation ships as an empty text.
     Texts of the .ui forms live in orvalvpn-forms.ts (scripts/update-translations);
     where both hold a text, this file wins. @ORVAL_...@ CMake variables are
     substituted at build time. -->
<TS version="2.1" language="en_US">
<context>
    <name>QObject</name>
    <message>
        <source>APPLICATION_NAME</source>
        <translation>OrvalVPN</translation>
    </message>
    <message>
        <source>INIT_CONNECTION_LABEL</source>
        <translation>Initializing connection</translation>
    </message>
    <message>
        <source>INIT_CONNECTION_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>INIT_CONNECTION_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>PRELIMINARY_CHECKS_LABEL</source>
        <translation>Checking preconditions</translation>
    </message>
    <message>
        <source>PRELIMINARY_CHECKS_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>PRELIMINARY_CHECKS_WARNING</source>
        <translation> </translation>
    </message>
    <message>
        <source>PREPARE_GENERIC_VPN_ENVIRONMENT_LABEL</source>
        <translation>Preparing VPN</translation>
    </message>
    <message>
        <source>PREPARE_GENERIC_VPN_ENVIRONMENT_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>PREPARE_GENERIC_VPN_ENVIRONMENT_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>PREPARE_OPENVPN_ENVIRONMENT_LABEL</source>
        <translation>Preparing OpenVPN</translation>
    </message>
    <message>
        <source>PREPARE_OPENVPN_ENVIRONMENT_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>PREPARE_OPENVPN_ENVIRONMENT_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>PREPARE_OPENCONNECT_ENVIRONMENT_LABEL</source>
        <translation>Preparing OpenConnect</translation>
    </message>
    <message>
        <source>PREPARE_OPENCONNECT_ENVIRONMENT_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>PREPARE_OPENCONNECT_ENVIRONMENT_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>GENERIC_VPN_STARTING_LABEL</source>
        <translation>Starting VPN</translation>
    </message>
    <message>
        <source>GENERIC_VPN_STARTING_TOOLTIP</source>
        <translation>Please wait while the VPN program is starting</translation>
    </message>
    <message>
        <source>GENERIC_VPN_STARTING_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please check your firewall!</translation>
    </message>
    <message>
        <source>OPENVPN_STARTING_LABEL</source>
        <translation>Starting OpenVPN</translation>
    </message>
    <message>
        <source>OPENVPN_STARTING_TOOLTIP</source>
        <translation>Please wait while OpenVPN is starting</translation>
    </message>
    <message>
        <source>OPENVPN_STARTING_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please check your firewall!</translation>
    </message>
    <message>
        <source>OPENCONNECT_STARTING_LABEL</source>
        <translation>Starting OpenConnect</translation>
    </message>
    <message>
        <source>OPENCONNECT_STARTING_TOOLTIP</source>
        <translation>Please wait while OpenConnect is starting</translation>
    </message>
    <message>
        <source>OPENCONNECT_STARTING_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please check your firewall!</translation>
    </message>
    <message>
        <source>DISABLE_INTERFACES_LABEL</source>
        <translation>Disabling network interfaces</translation>
    </message>
    <message>
        <source>DISABLE_INTERFACES_TOOLTIP</source>
        <translation>Please wait while the operative system disables the interfaces</translation>
    </message>
    <message>
        <source>DISABLE_INTERFACES_WARNING</source>
        <translation>Aborting the connection is taking unusually long, please disable the interfaces manually</translation>
    </message>
    <message>
        <source>ACTIVATE_INTERFACES_LABEL</source>
        <translation>Enabling network interfaces</translation>
    </message>
    <message>
        <source>ACTIVATE_INTERFACES_TOOLTIP</source>
        <translation>Please wait while the operative system enables the interfaces</translation>
    </message>
    <message>
        <source>ACTIVATE_INTERFACES_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please enable the interfaces manually</translation>
    </message>
    <message>
        <source>CHECKING_DEFAULT_ROUTE_LABEL</source>
        <translation>Discovering default route</translation>
    </message>
    <message>
        <source>CHECKING_DEFAULT_ROUTE_TOOLTIP</source>
        <translation>Checking if Internet is reachable</translation>
    </message>
    <message>
        <source>CHECKING_DEFAULT_ROUTE_WARNING</source>
        <translation>You are offline!</translation>
    </message>
    <message>
        <source>ENABLE_SEAMLESS_RECONNECT_LABEL</source>
        <translation>Enabling seamless reconnect</translation>
    </message>
    <message>
        <source>ENABLE_SEAMLESS_RECONNECT_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>ENABLE_SEAMLESS_RECONNECT_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>DISABLE_SEAMLESS_RECONNECT_LABEL</source>
        <translation>Disabling seamless reconnect</translation>
    </message>
    <message>
        <source>DISABLE_SEAMLESS_RECONNECT_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>DISABLE_SEAMLESS_RECONNECT_WARNING</source>
        <translation>Aborting the connection is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>ENABLE_IPV6_PROTECTION_LABEL</source>
        <translation>Enabling IPv6 leak protection</translation>
    </message>
    <message>
        <source>ENABLE_IPV6_PROTECTION_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>ENABLE_IPV6_PROTECTION_WARNING</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>DISABLE_IPV6_PROTECTION_LABEL</source>
        <translation>Disabling IPv6 leak protection</translation>
    </message>
    <message>
        <source>DISABLE_IPV6_PROTECTION_TOOLTIP</source>
        <translation></translation>
    </message>
    <message>
        <source>DISABLE_IPV6_PROTECTION_WARNING</source>
        <translation>Aborting the connection is taking unusually long, please be patient</translation>
    </message>
    <message>
        <source>LOOKUP_HOSTNAME_BEFORE_CONNECTING_LABEL</source>
        <translation>Resolving VPN server IP address</translation>
    </message>
    <message>
        <source>LOOKUP_HOSTNAME_BEFORE_CONNECTING_TOOLTIP</source>
        <translation>Resolving the server hostname</translation>
    </message>
    <message>
        <source>LOOKUP_HOSTNAME_BEFORE_CONNECTING_WARNING</source>
        <translation>Resolving the server hostname is taking unusually long. You can skip this operation. The hostname will be refreshed once you are connected</translation>
    </message>
</context>
<context>
    <name>QWidget</name>
    <message>
        <source>APPLICATION_NAME</source>
        <translation>OrvalVPN</translation>
    </message>
</context>
<context>
    <name>OrvalVPNLoadingWidget</name>
    <message>
        <source>Connecting to APPLICATION_NAME is taking unusually long, please check your firewall!</source>
        <translation>Connecting to OrvalVPN is taking unusually long, please check your firewall!</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Show/Hide</source>
        <translation>Show/Hide</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>New MainWindow</source>
        <translation>New MainWindow</translation>
    </message>
    <message>
        <source>Connection established!</source>
        <translation>Connection established!</translation>
    </message>
    <message>
        <source>Connected to  %1 - %2
Local IP: %3
Remote IP: %4</source>
        <translation>Connected to  %1 - %2
Local IP: %3
Remote IP: %4</translation>
    </message>
    <message>
        <source>Login Required!</source>
        <translation>Login Required!</translation>
    </message>
    <message>
        <source>Please enter your credentials to log into %1 service.</source>
        <translation>Please enter your credentials to log into %1 service.</translation>
    </message>
    <message>
        <source>Login Failed!</source>
        <translation>Login Failed!</translation>
    </message>
    <message>
        <source>Wrong username or password.</source>
        <translation>Wrong username or password.</translation>
    </message>
    <message>
        <source>%1 - Disconnected</source>
        <translation>%1 - Disconnected</translation>
    </message>
    <message>
        <source>Disconnected!</source>
        <translation>Disconnected!</translation>
    </message>
    <message>
        <source>Disconnected from %1 service!</source>
        <translation>Disconnected from %1 service!</translation>
    </message>
    <message>
        <source>No default server found!</source>
        <translation>No default server found!</translation>
    </message>
    <message>
        <source>Please select a server from the list.</source>
        <translation>Please select a server from the list.</translation>
    </message>
    <message>
        <source>Server not found!</source>
        <translation>Server not found!</translation>
    </message>
    <message>
        <source>The server might be out of date. Please try another server.</source>
        <translation>The server might be out of date. Please try another server.</translation>
    </message>
    <message>
        <source>Insufficient data found!</source>
        <translation>Insufficient data found!</translation>
    </message>
    <message>
        <source>Please start a connection from the main window.</source>
        <translation>Please start a connection from the main window.</translation>
    </message>
    <message>
        <source>L.A.(Asia Opt.)</source>
        <translation>L.A.(Asia Opt.)</translation>
    </message>
    <message>
        <source>%1 - %2</source>
        <translation>%1 - %2</translation>
    </message>
    <message>
        <source>
%1 - %2</source>
        <translation>
%1 - %2</translation>
    </message>
    <message>
        <source>
Sent: %1</source>
        <translation>
Sent: %1</translation>
    </message>
    <message>
        <source>
Rcvd: %1</source>
        <translation>
Rcvd: %1</translation>
    </message>
    <message>
        <source>
Local IP: %1</source>
        <translation>
Local IP: %1</translation>
    </message>
    <message>
        <source>
Remote IP: %1</source>
        <translation>
Remote IP: %1</translation>
    </message>
</context>
<context>
    <name>OrvalVPNLoginWidget</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body style=&quot;color:#FFF&quot;&gt;&lt;p&gt;Sign Up for an Account &lt;a href=&quot;APPLICATION_URL&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#FFF&quot;&gt;here&lt;/span&gt;&lt;/a&gt;!&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body style=&quot;color:#FFF&quot;&gt;&lt;p&gt;Sign Up for an Account &lt;a href=&quot;@ORVAL_WEBSITE_URL@&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#FFF&quot;&gt;here&lt;/span&gt;&lt;/a&gt;!&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>QuitConfirmation</name>
    <message>
        <source>OrvalVPN is still active.</source>
        <translation>OrvalVPN is still active.</translation>
    </message>
    <message>
        <source>Do you really want to quit?</source>
        <translation>Do you really want to quit?</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OrvalVPN Client v0.3.45</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;a href=&quot;&quot;&gt;https://www.orvalvpn.example/&lt;/a&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConnectionStatus</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DnsListDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert here your custom DNS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DnsListEntryDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DnsListEntryWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name Server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add / Edit Name Server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS 1 :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS 2 :</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DnsListWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InternetKillSwitchInterfacesDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manage Interface State (Internet Kill Switch)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Advanced users only, may cause connection complications!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uncheck all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LogDialog</name>
    <message>
        <source>Debug Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy to Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OpenVPNSimulatorDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command Hint: values with (*) are mandatory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scroll</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect Mex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disconnect Mex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password Req.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password Fail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bytes Sent Recv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fatal Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remote</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OrvalVPNConnectWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Germany</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Munich</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port / Auth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cipher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING: No encryption will be used!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STunnel enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stealth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pinned IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget pinned IP address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>✕</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dedicated IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Username</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UDP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TCP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remember Credentials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;a href=&quot;settings&quot; style=&quot;text-decoration: underline; color:#000000&quot;&gt;More Settings ...&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OrvalVPNLoadingWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Country</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: City</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stealth Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: UDP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cipher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: AES-256-CBC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING: No encryption will be used!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conn. Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connecting to APPLICATION_NAME is taking unusually long, please check your firewall!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Continue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OrvalVPNLoginWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Login failed! Wrong username or password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Username</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remember Credentials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abort</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body style=&quot;color:#FFF&quot;&gt;&lt;p&gt;Sign Up for an Account &lt;a href=&quot;APPLICATION_URL&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#FFF&quot;&gt;here&lt;/span&gt;&lt;/a&gt;!&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OrvalVPNMainWindow</name>
    <message>
        <source>OrvalVPNMainWindow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;
		&lt;center&gt;
		Update available.
		&lt;a href=&quot;DOWNLOAD_URL&quot; style=&quot;text-decoration: underline; color:#FFF&quot;&gt;Get It Now!&lt;/a&gt;
		&lt;/center&gt;
		&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>North America</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Europe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Africa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Asia</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Australia</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Connect on Launch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disable Network Interfaces</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OrvalVPNProgressMessageGUI</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OrvalVPNStatusWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stealth Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: UDP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cipher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HMAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PFS / TLS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remote IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Public IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conn. Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: 00:00:00</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WARNING: No encryption will be used!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pin server IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detect Public IP again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Germany</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Munich</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: BF-CBC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: SHA-1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: PFS / TLS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: 10.0.0.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: 100kB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: 1MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Reconnecting: the server stopped answering</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgressBarDialog</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Progress Descripcion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Abort</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerListWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerSiteEntryDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerSiteEntryWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dedicated Ip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add new dedicated Ip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Country :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Address :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protocol :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set as default</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerSiteFacts</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Germany</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Munich</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stealth Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bittorrent Optimized</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protocols</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UDP, TCP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cipher</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: BF-CBC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Location</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServerSiteFactsForStatusBar</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Germany</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Munich</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cipher:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protocols:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Location:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsWidget</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto start on boot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto connect at launch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto login on connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Arm killswitches after first successful connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check TUN/TAP adapters on connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask confirmation when exiting while VPN is running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable disabled interfaces before connecting:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget Credentials</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show a system tray icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide window to system tray on app startup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide window to system tray when connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide window to system tray when minimized</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide window to system tray instead of app exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide icon from Dock (requires restart)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>High DPI scaling factor (requires restart)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display cipher warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remember window geometry (it could not work on some platforms)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>App Kill</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Terminate these applications when VPN disconnects</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type name of process here or click select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scripts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Execute scripts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Before Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>After Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>After Disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prevent WebRTC leak (May cause issues during reconnect.)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prevent IPv6 leak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seamless reconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Block internet when not connected (requires restart)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manage Interface State (Internet Kill Switch)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Interfaces ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On exit enable killed interfaces</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Block outside DNS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh local DNS cache when connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh Cache</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean Cache</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Look up server hostname before connecting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nameservers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use these nameservers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> - at application start (requires restart)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> - while establishing VPN connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> - when VPN is connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable DNS state recovery on start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set system DNS (permanent option)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set System DNS...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OpenVPN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimum TLS version:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MTU (Maximum Transmission Unit)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Direct connection (no proxy)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stealth Proxy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify custom proxy server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Socks5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning: the inserted address is not valid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Servers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dedicated IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your dedicated IP addresses here.
For improved memorability you can also select a flag, country and add a comment. Servers configured here will show up at the top of the common server selection list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show warning if debugging log is saved to file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug (requires restart)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug folder path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug folder size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show debug</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean debug folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SystemNameServerSettingDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restoring NameServers to:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The System NameServer will be changed.
This option will have permanent effect.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

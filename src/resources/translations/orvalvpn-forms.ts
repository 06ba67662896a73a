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
        <source>HMAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: SHA512</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PFS / TLS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Yes / TLSv1.2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: CONNECTED</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Local IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: 10.0.0.2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remote IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: 192.0.2.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Public IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: Verified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TODO: 1.000 MiB</source>
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
</TS>
